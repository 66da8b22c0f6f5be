#pragma once
// Whether windows on an X display are composited: a compositing manager owns
// the selection "_NET_WM_CM_S<n>" of the screen n it composites.

#include <string>

/// True while a compositing manager runs on the default screen of display
/// (empty: $DISPLAY); false also when the display cannot be reached.
bool XcbCompositorRunning(const std::string& display = {});
