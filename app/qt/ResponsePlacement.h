#pragma once
// Where a window opens beside another one, so that it leaves the other's
// contents in view, and whether the program places its windows at all.

#include <QRect>
#include <QSize>

#include <string_view>

/// The frame for a window of preferred frame size (at least minimum) next
/// to the frame beside, on the screen's free area: to its right, else to its
/// left, below or above, on the first side with room for the whole window,
/// else on the side that takes the largest part of it (the window made
/// smaller). Where no side takes even the minimum, the minimum on the side
/// that lacks least, kept on the area (over a little of the other window).
QRect PlaceBeside(const QRect& beside, const QSize& preferred, const QSize& minimum, const QRect& area);

/// Both frames after placing a window beside the main window.
struct TPlacedPair {
  QRect Main;    ///< the main window's frame, moved or not
  QRect Placed;  ///< the new window's frame
};

/// As PlaceBeside, but the main window may move within the area, as a user
/// would move it aside: the pair that covers least of the main window
/// (nothing where the area has room for both) first, then the one that
/// leaves the new window largest, then the one that moves the main window least. A main window partly off the area is first
/// brought onto it.
TPlacedPair PlaceBesideMovingMain(const QRect& main, const QSize& preferred, const QSize& minimum, const QRect& area);

/// A frame of preferred size (made smaller where area is smaller), centred on area.
QRect PlaceCentred(const QSize& preferred, const QRect& area);

/// frame moved onto area as far as it fits (its top-left corner kept on it).
QRect KeptOnArea(const QRect& frame, const QRect& area);

/// Whether the program places its own windows on the Qt platform of that
/// name: on X11 (and offscreen) it does; on Wayland the compositor places
/// every window and tells no program where its windows lie.
bool ProgramPlacesWindows(std::string_view platformName);
/// The same for the platform this program runs on.
bool ProgramPlacesWindows();
