#include "app/qt/DesktopHotKey.h"

#include "platform/xcb/XcbHotKey.h"
#include "sync/dbus/DBusPortalHotKey.h"

#include <QGuiApplication>

std::unique_ptr<THotKey> CreateDesktopHotKey(TMessageLoop& loop, const QDBusConnection& sessionBus) {
  // A grab on an X server that only serves other programs (Xwayland) would
  // take Ctrl+Ins from this window without ever seeing it pressed.
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("xcb")) return std::make_unique<TXcbHotKey>(loop);
  if (platform.startsWith(QLatin1String("wayland"))) return std::make_unique<TDBusPortalHotKey>(sessionBus);
  return std::make_unique<TNullHotKey>();
}
