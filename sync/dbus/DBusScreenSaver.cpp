#include "sync/dbus/DBusScreenSaver.h"

#include <QDBusMessage>

namespace {

constexpr const char* Service = "org.freedesktop.ScreenSaver";
constexpr const char* Path = "/org/freedesktop/ScreenSaver";
constexpr const char* Interface = "org.freedesktop.ScreenSaver";

QDBusMessage Method(const char* name) {
  QDBusMessage m = QDBusMessage::createMethodCall(QLatin1String(Service), QLatin1String(Path),
                                                  QLatin1String(Interface), QLatin1String(name));
  // Starting a screensaver only to hold it off makes no sense.
  m.setAutoStartService(false);
  return m;
}

}  // namespace

TDBusScreenSaver::TDBusScreenSaver(QDBusConnection connection, QString application, int timeoutMs)
    : FConnection(std::move(connection)), FApplication(std::move(application)), FTimeoutMs(timeoutMs) {}

TDBusScreenSaver::~TDBusScreenSaver() { Release(); }

void TDBusScreenSaver::Hold() {
  if (FHeld || !FConnection.isConnected()) return;
  QDBusMessage call = Method("Inhibit");
  call << FApplication << QStringLiteral("The generator's output is active");
  const QDBusMessage reply = FConnection.call(call, QDBus::Block, FTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) return;
  FCookie = reply.arguments().front().toUInt();
  FHeld = true;
}

void TDBusScreenSaver::Release() {
  if (!FHeld) return;
  FHeld = false;
  QDBusMessage call = Method("UnInhibit");
  call << FCookie;
  FConnection.call(call, QDBus::Block, FTimeoutMs);
}
