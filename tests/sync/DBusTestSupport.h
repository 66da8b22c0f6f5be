#pragma once
// What the D-Bus tests share: the process's core application (Qt's D-Bus
// dispatch needs one) and named connections to a test's private bus.

#include <QCoreApplication>
#include <QDBusConnection>

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
