#pragma once
// The generator bus on D-Bus: this instance serves Message(u, u, i) and
// Broadcast(u, u, i) under its own name, answering each call as soon as it
// has accepted it. A broadcast handles this instance's own window first,
// then sends to every other generator on the bus in sorted name order
// without waiting for any: a silent generator delays nobody, and the bus
// keeps each generator's messages in the order they were sent. Status()
// answers at once from a status source, never waiting and never running a
// generator action. GUI thread only; needs a QCoreApplication.

#include "sync/GeneratorBroadcast.h"
#include "sync/GeneratorStatus.h"
#include "sync/dbus/GeneratorBusNames.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>

#include <memory>
#include <string>

class TDBusGeneratorBus final : public TGeneratorBroadcast {
public:
  /// Claims GeneratorBusNames::ServicePrefix + instance (the program passes
  /// "p" + its process id) on connection and serves the generator object;
  /// receiver handles this instance's messages, own and received. Without a
  /// usable connection, or when the name is taken, broadcasts reach this
  /// instance only. A generator that has not confirmed a broadcast message
  /// within timeoutMs is reported on stderr. status answers Status();
  /// without one, Status() answers the error NotSupported.
  TDBusGeneratorBus(QDBusConnection connection, const std::string& instance, TGeneratorReceiver receiver,
                    int timeoutMs = GeneratorBusNames::DefaultTimeoutMs, TStatusSource status = {});
  ~TDBusGeneratorBus() override;
  TDBusGeneratorBus(const TDBusGeneratorBus&) = delete;
  TDBusGeneratorBus& operator=(const TDBusGeneratorBus&) = delete;

  /// This instance is on the bus under its name.
  bool Connected() const { return FServing; }
  const QString& ServiceName() const { return FServiceName; }

  /// A generator that has gone is skipped silently; any other failure
  /// writes one line per generator on stderr when it becomes known.
  void Broadcast(uint32_t number, uint32_t wParam, int32_t lParam) override;
  /// Broadcast messages sent and not yet confirmed or failed.
  int Unconfirmed() const { return FUnconfirmed; }

  /// The names of every generator on the bus, sorted.
  static QStringList GeneratorNames(const QDBusConnection& connection);
  /// Calls Message on service and returns the reply or the error; mode
  /// BlockWithGui serves incoming calls (not user input) while it waits.
  static QDBusMessage Call(const QDBusConnection& connection, const QString& service, uint32_t number,
                           uint32_t wParam, int32_t lParam, int timeoutMs, QDBus::CallMode mode);
  /// The reply says that the service is not (or no longer) on the bus.
  static bool HasGone(const QDBusMessage& reply);

private:
  class TObject;
  void Send(const QString& service, uint32_t number, uint32_t wParam, int32_t lParam);
  void Confirmed(const QString& service, uint32_t number, const QDBusMessage& reply);

  QDBusConnection FConnection;
  QString FServiceName;
  TGeneratorReceiver FReceiver;
  TStatusSource FStatus;
  int FTimeoutMs;
  std::unique_ptr<TObject> FObject;  // also parents the pending calls, which end with it
  bool FServing = false;
  int FUnconfirmed = 0;
};
