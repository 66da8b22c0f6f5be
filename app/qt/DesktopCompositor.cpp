#include "app/qt/DesktopCompositor.h"

#include "platform/xcb/XcbCompositor.h"

#include <QGuiApplication>

bool DesktopFadesWindows() {
  return QGuiApplication::platformName() == QLatin1String("xcb") && XcbCompositorRunning();
}
