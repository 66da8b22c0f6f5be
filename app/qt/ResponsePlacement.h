#pragma once
// Where a window opens beside another one, so that it leaves the other's
// contents in view.

#include <QPoint>
#include <QRect>
#include <QSize>

/// The top-left corner for a window whose frame has size, next to the frame
/// beside on the screen's free area: to its right, else to its left, else
/// below, else above it, whichever side has room first. Where no side has
/// room, the side with the most, with the window kept on the area.
QPoint PlaceBeside(const QRect& beside, const QSize& size, const QRect& area);
