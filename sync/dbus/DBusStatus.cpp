#include "sync/dbus/DBusStatus.h"

#include "sync/dbus/GeneratorBusNames.h"

#include <QDBusArgument>
#include <QMetaType>

namespace N = GeneratorBusNames;

namespace {

struct TToVariant {
  QVariant operator()(bool v) const { return v; }
  QVariant operator()(int32_t v) const { return v; }
  // int64_t is long here, which Qt DBus does not marshal; qlonglong is x.
  QVariant operator()(int64_t v) const { return static_cast<qlonglong>(v); }
  QVariant operator()(double v) const { return v; }
  QVariant operator()(const std::string& v) const { return QString::fromStdString(v); }
};

TStatusValue FromVariant(const QVariant& v) {
  switch (v.metaType().id()) {
    case QMetaType::Bool: return v.toBool();
    case QMetaType::Int: return static_cast<int32_t>(v.toInt());
    case QMetaType::LongLong: return static_cast<int64_t>(v.toLongLong());
    case QMetaType::Double: return v.toDouble();
    default: return v.toString().toStdString();
  }
}

}  // namespace

QVariantMap StatusMap(const TGeneratorStatus& status) {
  QVariantMap map;
  for (const auto& [key, value] : StatusFields(status))
    map.insert(QString::fromStdString(key), std::visit(TToVariant{}, value));
  return map;
}

TStatusFields StatusFieldsOf(const QDBusMessage& reply) {
  const QList<QVariant> args = reply.arguments();
  if (reply.type() != QDBusMessage::ReplyMessage || args.size() != 1 ||
      !args[0].canConvert<QDBusArgument>())
    return {};
  const QVariantMap map = qdbus_cast<QVariantMap>(args[0]);
  TStatusFields fields;
  for (auto it = map.cbegin(); it != map.cend(); ++it) fields.emplace_back(it.key().toStdString(), FromVariant(*it));
  return InStatusOrder(std::move(fields));
}

QDBusMessage CallStatus(const QDBusConnection& connection, const QString& service, int timeoutMs,
                        QDBus::CallMode mode) {
  const QDBusMessage call = QDBusMessage::createMethodCall(service, QLatin1String(N::ObjectPath),
                                                           QLatin1String(N::Interface), QLatin1String(N::StatusMethod));
  return connection.call(call, mode, timeoutMs);
}
