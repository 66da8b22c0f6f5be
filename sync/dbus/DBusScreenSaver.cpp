#include "sync/dbus/DBusScreenSaver.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

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

/// Sent without waiting for the answer, which nobody needs.
void UnInhibit(const QDBusConnection& connection, uint32_t cookie) {
  QDBusMessage call = Method("UnInhibit");
  call << cookie;
  connection.send(call);
}

}  // namespace

TDBusScreenSaver::TDBusScreenSaver(QDBusConnection connection, QString application, int timeoutMs)
    : FConnection(std::move(connection)), FApplication(std::move(application)), FTimeoutMs(timeoutMs) {}

TDBusScreenSaver::~TDBusScreenSaver() { Release(); }

bool TDBusScreenSaver::Held() const { return FHold->Held; }

void TDBusScreenSaver::Hold() {
  FHold->Wanted = true;
  if (FHold->Held || FHold->Pending || !FConnection.isConnected()) return;
  QDBusMessage call = Method("Inhibit");
  call << FApplication << QStringLiteral("The generator's output is active");
  FHold->Pending = true;
  // The watcher belongs to the application, not to this object: an answer
  // that comes after this object went must still be given back.
  auto* watcher = new QDBusPendingCallWatcher(FConnection.asyncCall(call, FTimeoutMs), QCoreApplication::instance());
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                   [hold = FHold, connection = FConnection](QDBusPendingCallWatcher* w) {
                     w->deleteLater();
                     hold->Pending = false;
                     const QDBusPendingReply<uint32_t> reply = *w;
                     if (reply.isError()) return;
                     if (!hold->Wanted) return UnInhibit(connection, reply.value());
                     hold->Held = true;
                     hold->Cookie = reply.value();
                   });
}

void TDBusScreenSaver::Release() {
  FHold->Wanted = false;
  if (!FHold->Held) return;
  FHold->Held = false;
  UnInhibit(FConnection, FHold->Cookie);
}
