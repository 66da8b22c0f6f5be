#pragma once
// Where a window opens beside another one, so that it leaves the other's
// contents in view.

#include <QRect>
#include <QSize>

/// The frame for a window of preferred frame size (at least minimum) next
/// to the frame beside, on the screen's free area: to its right, else to its
/// left, below or above, on the first side with room for the whole window,
/// else on the side that takes the largest part of it (the window made
/// smaller). Where no side takes even the minimum, the minimum on the side
/// that lacks least, kept on the area (over a little of the other window).
QRect PlaceBeside(const QRect& beside, const QSize& preferred, const QSize& minimum, const QRect& area);
