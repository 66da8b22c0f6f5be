#pragma once
// The generator bus on D-Bus: this instance serves Message(u, u, i) under its
// own name, and a broadcast calls every generator on the bus in sorted name
// order, its own window in-process and the others synchronously. While a call
// waits, incoming calls are served, so two instances that broadcast at once
// both finish. Status() answers at once from a status source, never
// waiting and never running a generator action. GUI thread only; needs a
// QCoreApplication.

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
  /// own handles this instance's messages. Without a usable connection, or
  /// when the name is taken, broadcasts reach own only. status answers
  /// Status(); without one, Status() answers the error NotSupported.
  TDBusGeneratorBus(QDBusConnection connection, const std::string& instance, TGeneratorReceiver own,
                    int timeoutMs = GeneratorBusNames::DefaultTimeoutMs, TStatusSource status = {});
  ~TDBusGeneratorBus() override;
  TDBusGeneratorBus(const TDBusGeneratorBus&) = delete;
  TDBusGeneratorBus& operator=(const TDBusGeneratorBus&) = delete;

  /// This instance is on the bus under its name.
  bool Connected() const { return FServing; }
  const QString& ServiceName() const { return FServiceName; }

  /// An instance that has gone is skipped at once; one that does not answer
  /// within the timeout is skipped with a line on stderr.
  void Broadcast(const uint32_t& number, uint32_t wParam, int32_t lParam) override;

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

  QDBusConnection FConnection;
  QString FServiceName;
  TGeneratorReceiver FOwn;
  TStatusSource FStatus;
  int FTimeoutMs;
  std::unique_ptr<TObject> FObject;
  bool FServing = false;
};
