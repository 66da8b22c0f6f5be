#pragma once
// A receiver for D-Bus signals that hands each one to a function, since
// QDBusConnection::connect delivers only to a slot.

#include <QDBusMessage>
#include <QObject>

#include <functional>

class TDBusSignalSink final : public QObject {
  Q_OBJECT

public:
  explicit TDBusSignalSink(std::function<void(const QDBusMessage&)> received) : FReceived(std::move(received)) {}

  /// Delivers nothing from now on (the sink may still be deleted later).
  void Forget() { FReceived = nullptr; }

public slots:
  void Deliver(const QDBusMessage& message) {
    // A copy: the function may make its own sink forget it.
    if (const auto received = FReceived) received(message);
  }

private:
  std::function<void(const QDBusMessage&)> FReceived;
};
