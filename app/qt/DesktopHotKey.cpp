#include "app/qt/DesktopHotKey.h"

#include "platform/xcb/XcbHotKey.h"

#include <QGuiApplication>

std::unique_ptr<THotKey> CreateDesktopHotKey(TMessageLoop& loop) {
  // A grab on an X server that only serves other programs (Xwayland) would
  // take Ctrl+Ins from this window without ever seeing it pressed.
  if (QGuiApplication::platformName() == QLatin1String("xcb")) return std::make_unique<TXcbHotKey>(loop);
  return std::make_unique<TNullHotKey>();
}
