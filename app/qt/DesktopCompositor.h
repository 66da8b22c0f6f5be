#pragma once
// Whether the desktop the program runs on blends translucent windows with
// what lies beneath them.

/// On X11 only while a compositing manager runs; on Wayland always; on
/// other platforms (offscreen) never.
bool DesktopComposites();
