#include "app/qt/DesktopCompositor.h"

#include "platform/xcb/XcbCompositor.h"

#include <QGuiApplication>

bool DesktopComposites() {
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("xcb")) return XcbCompositorRunning();
  return platform.startsWith(QLatin1String("wayland"));
}
