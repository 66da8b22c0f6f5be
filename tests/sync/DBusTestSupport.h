#pragma once
// What the D-Bus tests share: the process's core application (Qt's D-Bus
// dispatch needs one), named connections to a test's private bus, and
// serving events until an answer has arrived.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QThread>

#include <string>

inline void EnsureCoreApplication() {
  static int argc = 1;
  static char name[] = "zephyra_sync_bus_tests";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
}

inline QDBusConnection Connect(const std::string& address, const std::string& name) {
  return QDBusConnection::connectToBus(QString::fromStdString(address), QString::fromStdString(name));
}

/// Serves this thread's events until done() holds; false when it still does
/// not after 10 s (something hangs).
template <class TCondition>
bool ServeUntil(TCondition done) {
  const QDeadlineTimer deadline(10000);
  while (!done() && !deadline.hasExpired()) {
    QCoreApplication::processEvents();
    QThread::msleep(1);
  }
  return done();
}
