#include "sync/dbus/DBusPortalHotKey.h"

#include "sync/dbus/DBusSignalSink.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QTimer>

#include <algorithm>

namespace {

const QString Service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString Path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString Interface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString ShortcutId = QStringLiteral("on-off");

QDBusMessage PortalCall(const QString& interface, const QString& method) {
  return QDBusMessage::createMethodCall(Service, Path, interface, method);
}

/// A path or a string that holds one (portals send the session as either).
QString PathText(const QVariant& value) {
  if (value.metaType() == QMetaType::fromType<QDBusObjectPath>())
    return value.value<QDBusObjectPath>().path();
  return value.toString();
}

/// One shortcut as the portal takes and gives them, (sa{sv}).
struct TShortcut {
  QString Id;
  QVariantMap Properties;
};
using TShortcuts = QList<TShortcut>;

QDBusArgument& operator<<(QDBusArgument& out, const TShortcut& s) {
  out.beginStructure();
  out << s.Id << s.Properties;
  out.endStructure();
  return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, TShortcut& s) {
  in.beginStructure();
  in >> s.Id >> s.Properties;
  in.endStructure();
  return in;
}

}  // namespace

Q_DECLARE_METATYPE(TShortcut)

TDBusPortalHotKey::TDBusPortalHotKey(QDBusConnection connection, int timeoutMs)
    : FConnection(std::move(connection)), FTimeoutMs(timeoutMs) {
  qDBusRegisterMetaType<TShortcut>();
  qDBusRegisterMetaType<TShortcuts>();
}

TDBusPortalHotKey::~TDBusPortalHotKey() { Unregister(); }

bool TDBusPortalHotKey::Offered(const QDBusConnection& connection, int timeoutMs) {
  if (!connection.isConnected()) return false;
  QDBusMessage get = PortalCall(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << Interface << QStringLiteral("version");
  return connection.call(get, QDBus::Block, timeoutMs).type() == QDBusMessage::ReplyMessage;
}

bool TDBusPortalHotKey::Register(std::function<void()> pressed) {
  if (!Offered(FConnection, std::min(FTimeoutMs, 5000))) return false;
  FPressed = std::move(pressed);
  FActivations = std::make_unique<TDBusSignalSink>([this](const QDBusMessage& m) { Activated(m); });
  FConnection.connect(Service, Path, Interface, QStringLiteral("Activated"), FActivations.get(),
                      SLOT(Deliver(QDBusMessage)));
  const QString token = QStringLiteral("zephyra%1").arg(++FTokens);
  Request(QStringLiteral("CreateSession"),
          {QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("session_handle_token"), token}}},
          token, [this](uint32_t response, const QVariantMap& results) { SessionCreated(response, results); });
  return true;
}

void TDBusPortalHotKey::Request(const QString& method, QList<QVariant> args, const QString& token,
                                std::function<void(uint32_t, const QVariantMap&)> answered) {
  // The request's object path is known before the call, so the answer can
  // be listened for before it can arrive.
  QString sender = FConnection.baseService().mid(1);
  sender.replace(QLatin1Char('.'), QLatin1Char('_'));
  FRequestPath = Path + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
  FAnswered = std::move(answered);
  DropResponses();  // the answer to the request before may be under way: this call runs inside it
  FResponses = std::make_unique<TDBusSignalSink>([this](const QDBusMessage& m) {
    const QList<QVariant> a = m.arguments();
    if (a.size() < 2 || !FAnswered) return;
    auto handler = std::move(FAnswered);
    FAnswered = nullptr;
    handler(a[0].toUInt(), qdbus_cast<QVariantMap>(a[1]));
  });
  FConnection.connect(Service, FRequestPath, RequestInterface, QStringLiteral("Response"), FResponses.get(),
                      SLOT(Deliver(QDBusMessage)));
  QDBusMessage call = PortalCall(Interface, method);
  call.setArguments(args);
  auto* watcher = new QDBusPendingCallWatcher(FConnection.asyncCall(call, FTimeoutMs), FResponses.get());
  // Each ends only its own request: an error answer refuses the key at once,
  // and a user who never answers the desktop's dialog leaves it unbound.
  const auto end = [this, path = FRequestPath] {
    if (path == FRequestPath) FAnswered = nullptr;
  };
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, FResponses.get(), [end](QDBusPendingCallWatcher* w) {
    w->deleteLater();
    if (w->isError()) end();
  });
  QTimer::singleShot(FTimeoutMs, FResponses.get(), end);
}

void TDBusPortalHotKey::SessionCreated(uint32_t response, const QVariantMap& results) {
  FSession = PathText(results.value(QStringLiteral("session_handle")));
  if (response != 0 || FSession.isEmpty()) return;
  const QString token = QStringLiteral("zephyra%1").arg(++FTokens);
  Request(QStringLiteral("BindShortcuts"),
          {QVariant::fromValue(QDBusObjectPath(FSession)), QVariant::fromValue(TShortcuts{{ShortcutId,
                       {{QStringLiteral("description"), QStringLiteral("Switch the generator ON or OFF")},
                        {QStringLiteral("preferred_trigger"), QStringLiteral("CTRL+Insert")}}}}), QString(),
           QVariantMap{{QStringLiteral("handle_token"), token}}},
          token, [this](uint32_t r, const QVariantMap& bound) { ShortcutsBound(r, bound); });
}

void TDBusPortalHotKey::ShortcutsBound(uint32_t response, const QVariantMap& results) {
  // The desktop says which of the shortcuts it bound.
  const TShortcuts shortcuts = qdbus_cast<TShortcuts>(results.value(QStringLiteral("shortcuts")));
  const bool bound = response == 0 && std::any_of(shortcuts.begin(), shortcuts.end(),
                                                  [](const TShortcut& s) { return s.Id == ShortcutId; });
  SetActive(bound);
}

void TDBusPortalHotKey::Activated(const QDBusMessage& signal) {
  const QList<QVariant> a = signal.arguments();
  if (!FActive || a.size() < 2 || PathText(a[0]) != FSession || a[1].toString() != ShortcutId) return;
  if (FPressed) FPressed();
}

void TDBusPortalHotKey::SetActive(bool active) {
  if (active == FActive) return;
  FActive = active;
  if (OnActiveChange) OnActiveChange();
}

void TDBusPortalHotKey::Unregister() {
  if (!FSession.isEmpty()) {
    FConnection.send(QDBusMessage::createMethodCall(Service, FSession, QStringLiteral("org.freedesktop.portal.Session"),
                                                    QStringLiteral("Close")));
    FSession.clear();
  }
  FAnswered = nullptr;
  DropResponses();
  FDropped.clear();
  FActivations.reset();
  FPressed = nullptr;
  FActive = false;  // said to nobody: the program is letting go of the key
}

void TDBusPortalHotKey::DropResponses() {
  if (!FResponses) return;
  FResponses->Forget();
  FDropped.push_back(std::move(FResponses));
}
