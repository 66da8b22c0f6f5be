#pragma once
// The desktop-wide ON/OFF key that fits the desktop the program runs on.

#include "platform/HotKey.h"

#include <QDBusConnection>

#include <memory>

class TMessageLoop;

/// The X11 key grab when the program shows its windows on X11; on Wayland
/// the desktop portal's global shortcut where the session bus offers one;
/// elsewhere (offscreen, a Wayland desktop without it) no global key, so the
/// window's own shortcut serves. loop must outlive the key.
std::unique_ptr<THotKey> CreateDesktopHotKey(TMessageLoop& loop, const QDBusConnection& sessionBus);
