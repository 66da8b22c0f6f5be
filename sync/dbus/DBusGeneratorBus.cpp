#include "sync/dbus/DBusGeneratorBus.h"

#include "sync/dbus/DBusStatus.h"
#include "sync/dbus/GeneratorBusNames.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVirtualObject>

#include <algorithm>
#include <array>
#include <optional>
#include <iostream>

namespace N = GeneratorBusNames;

namespace {

/// The three arguments as 32-bit patterns. Senders whose tools type numbers
/// as they please (a plain 1024 is a signed int in most) are understood too:
/// each argument may be a signed or an unsigned 32-bit integer.
QDBusMessage MessageCall(const QString& service, const char* method, uint32_t number, uint32_t wParam,
                         int32_t lParam) {
  QDBusMessage call = QDBusMessage::createMethodCall(service, QLatin1String(N::ObjectPath),
                                                     QLatin1String(N::Interface), QLatin1String(method));
  call << number << wParam << lParam;
  return call;
}

std::optional<std::array<uint32_t, 3>> IntegerArguments(const QDBusMessage& message) {
  const QString signature = message.signature();
  const QList<QVariant> values = message.arguments();
  if (signature.size() != 3 || values.size() != 3) return std::nullopt;
  std::array<uint32_t, 3> args{};
  for (size_t i = 0; i < args.size(); ++i) {
    const QChar type = signature[static_cast<qsizetype>(i)];
    if (type == u'u')
      args[i] = values[static_cast<qsizetype>(i)].toUInt();
    else if (type == u'i')
      args[i] = static_cast<uint32_t>(values[static_cast<qsizetype>(i)].toInt());
    else
      return std::nullopt;
  }
  return args;
}

}  // namespace

/// The object /Generator: answers each well-formed Message or Broadcast call
/// as soon as it is accepted, then hands it to the receiver; answers Status
/// from the source.
class TDBusGeneratorBus::TObject final : public QDBusVirtualObject {
public:
  TObject(TGeneratorReceiver& receiver, TStatusSource& status) : FReceiver(receiver), FStatus(status) {}

  QString introspect(const QString&) const override {
    const QString message = QStringLiteral(
        "<method name=\"%1\"><arg name=\"number\" type=\"u\" direction=\"in\"/>"
        "<arg name=\"wParam\" type=\"u\" direction=\"in\"/><arg name=\"lParam\" type=\"i\" direction=\"in\"/></method>");
    return QStringLiteral("<interface name=\"%1\">%2%3<method name=\"%4\">"
                          "<arg name=\"status\" type=\"a{sv}\" direction=\"out\"/></method></interface>")
        .arg(QLatin1String(N::Interface), message.arg(QLatin1String(N::Method)),
             message.arg(QLatin1String(N::BroadcastMethod)), QLatin1String(N::StatusMethod));
  }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    // Introspection and unknown methods are left to Qt's standard answers.
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    const QString interface = message.interface();
    if (!interface.isEmpty() && interface != QLatin1String(N::Interface)) return false;
    if (message.member() == QLatin1String(N::StatusMethod)) {
      connection.send(StatusReply(message));
      return true;
    }
    const bool broadcast = message.member() == QLatin1String(N::BroadcastMethod);
    if (!broadcast && message.member() != QLatin1String(N::Method)) return false;
    const std::optional<std::array<uint32_t, 3>> args = IntegerArguments(message);
    if (!args) {
      connection.send(message.createErrorReply(
          QDBusError::InvalidArgs, QStringLiteral("Message takes three integers (u number, u wParam, i lParam), not (%1)")
                                       .arg(message.signature())));
      return true;
    }
    // The sender waits for nobody: the answer says the message was accepted.
    connection.send(message.createReply());
    // Copy: a receiver's reaction may replace the receiver.
    const TGeneratorReceiver receiver = FReceiver;
    receiver((*args)[0], (*args)[1], static_cast<int32_t>((*args)[2]),
             broadcast ? TDelivery::Broadcast : TDelivery::Message);
    return true;
  }

private:
  /// Answers from the current state at once: nothing is run and nothing waited for.
  QDBusMessage StatusReply(const QDBusMessage& message) const {
    if (!message.signature().isEmpty())
      return message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("Status takes no arguments"));
    if (!FStatus)
      return message.createErrorReply(QDBusError::NotSupported, QStringLiteral("This generator reports no status"));
    return message.createReply(StatusMap(FStatus()));
  }

  TGeneratorReceiver& FReceiver;
  TStatusSource& FStatus;
};

TDBusGeneratorBus::TDBusGeneratorBus(QDBusConnection connection, const std::string& instance,
                                     TGeneratorReceiver receiver, int timeoutMs, TStatusSource status)
    : FConnection(std::move(connection)),
      FServiceName(QLatin1String(N::ServicePrefix) + QString::fromStdString(instance)),
      FReceiver(std::move(receiver)),
      FStatus(std::move(status)),
      FTimeoutMs(timeoutMs),
      FObject(std::make_unique<TObject>(FReceiver, FStatus)) {
  if (!FConnection.isConnected()) return;
  if (!FConnection.registerVirtualObject(QLatin1String(N::ObjectPath), FObject.get())) return;
  const auto reply = FConnection.interface()->registerService(FServiceName, QDBusConnectionInterface::DontQueueService,
                                                              QDBusConnectionInterface::DontAllowReplacement);
  FServing = reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
  if (!FServing) FConnection.unregisterObject(QLatin1String(N::ObjectPath));
}

TDBusGeneratorBus::~TDBusGeneratorBus() {
  if (!FServing) return;
  FConnection.unregisterObject(QLatin1String(N::ObjectPath));
  FConnection.interface()->unregisterService(FServiceName);
}

QStringList TDBusGeneratorBus::GeneratorNames(const QDBusConnection& connection) {
  if (!connection.isConnected()) return {};
  QStringList names = connection.interface()->registeredServiceNames().value();
  names.removeIf([](const QString& n) { return !n.startsWith(QLatin1String(N::ServicePrefix)); });
  std::sort(names.begin(), names.end());
  return names;
}

void TDBusGeneratorBus::Broadcast(uint32_t number, uint32_t wParam, int32_t lParam) {
  FReceiver(number, wParam, lParam, TDelivery::Own);
  if (!FServing) return;
  for (const QString& service : GeneratorNames(FConnection))
    if (service != FServiceName) Send(service, number, wParam, lParam);
}

QDBusMessage TDBusGeneratorBus::Call(const QDBusConnection& connection, const QString& service, uint32_t number,
                                     uint32_t wParam, int32_t lParam, int timeoutMs, QDBus::CallMode mode) {
  return connection.call(MessageCall(service, N::Method, number, wParam, lParam), mode, timeoutMs);
}

bool TDBusGeneratorBus::HasGone(const QDBusMessage& reply) {
  const QString error = reply.errorName();
  return reply.type() == QDBusMessage::ErrorMessage &&
         (error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
          error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"));
}

void TDBusGeneratorBus::Send(const QString& service, uint32_t number, uint32_t wParam, int32_t lParam) {
  const QDBusMessage call = MessageCall(service, N::BroadcastMethod, number, wParam, lParam);
  auto* pending = new QDBusPendingCallWatcher(FConnection.asyncCall(call, FTimeoutMs), FObject.get());
  ++FUnconfirmed;
  QObject::connect(pending, &QDBusPendingCallWatcher::finished, FObject.get(), [this, service, number, pending] {
    pending->deleteLater();
    --FUnconfirmed;
    Confirmed(service, number, pending->reply());
  });
}

void TDBusGeneratorBus::Confirmed(const QString& service, uint32_t number, const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ErrorMessage || HasGone(reply)) return;
  // One that ended after the names were listed has simply gone, whatever
  // error its connection's end produced.
  if (!FConnection.interface()->isServiceRegistered(service).value()) return;
  std::cerr << "zephyra: generator " << service.toStdString() << " did not confirm message " << number << ": "
            << reply.errorMessage().toStdString() << " (" << reply.errorName().toStdString() << ")\n";
}
