#pragma once
// Ctrl+Ins for the whole desktop through the XDG desktop portal's
// GlobalShortcuts interface, where a Wayland desktop offers it: a session,
// one shortcut bound with Ctrl+Ins as its preferred key (the desktop asks
// the user to approve it in a dialog of its own and may give it another
// key), and the portal's Activated signal for each press. Every call is sent
// without waiting; Active() turns true once the desktop has bound the key.
// GUI thread only.

#include "platform/HotKey.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>

#include <memory>
#include <vector>

class TDBusSignalSink;

class TDBusPortalHotKey final : public THotKey {
public:
  /// connection: the session bus (or a test's bus); a step the portal does
  /// not answer within timeoutMs ends the registration (Active() stays false).
  explicit TDBusPortalHotKey(QDBusConnection connection, int timeoutMs = 120000);
  ~TDBusPortalHotKey() override;
  TDBusPortalHotKey(const TDBusPortalHotKey&) = delete;
  TDBusPortalHotKey& operator=(const TDBusPortalHotKey&) = delete;

  /// Whether the bus has a portal with the GlobalShortcuts interface
  /// (waits for the answer, at most timeoutMs).
  static bool Offered(const QDBusConnection& connection, int timeoutMs);

  /// Asks the portal for a session and the key; false when the portal does
  /// not offer global shortcuts. pressed runs for every activation.
  bool Register(std::function<void()> pressed) override;
  /// Closes the session, which gives the key back.
  void Unregister() override;
  bool Active() const override { return FActive; }

private:
  /// Calls method with args, the request's answer going to answered (its
  /// response code and results) through the request object's Response signal.
  void Request(const QString& method, QList<QVariant> args, const QString& token,
               std::function<void(uint32_t, const QVariantMap&)> answered);
  void SessionCreated(uint32_t response, const QVariantMap& results);
  void ShortcutsBound(uint32_t response, const QVariantMap& results);
  void Activated(const QDBusMessage& signal);
  void SetActive(bool active);
  /// Stops listening for the request's answer; the sink is kept until
  /// Unregister, since this may run inside its own delivery.
  void DropResponses();

  QDBusConnection FConnection;
  int FTimeoutMs;
  std::function<void()> FPressed;
  QString FSession;  ///< the session's object path, once created
  bool FActive = false;
  std::unique_ptr<TDBusSignalSink> FResponses;
  std::unique_ptr<TDBusSignalSink> FActivations;
  std::vector<std::unique_ptr<TDBusSignalSink>> FDropped;
  std::function<void(uint32_t, const QVariantMap&)> FAnswered;  ///< the request under way
  QString FRequestPath;
  int FTokens = 0;
};
