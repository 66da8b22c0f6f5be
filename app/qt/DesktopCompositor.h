#pragma once
// Whether the desktop the program runs on can fade a window: blend a
// translucent window with what lies beneath it and set its opacity.

/// On X11 only while a compositing manager runs. Never on Wayland (its
/// protocol gives a client no window opacity) nor on other platforms
/// (offscreen).
bool DesktopFadesWindows();
