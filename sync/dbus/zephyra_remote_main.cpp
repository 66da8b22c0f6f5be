// zephyra-remote: sends one generator message to every running generator, in
// the order of their bus names, or to the one with a given process id.
// Exit status: 0 every generator answered, 1 none running or one failed,
// 2 a bad command line.

#include "sync/RemoteCommand.h"
#include "sync/dbus/DBusGeneratorBus.h"
#include "sync/dbus/GeneratorBusNames.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << RemoteUsage();
    return 0;
  }
  const auto parsed = ParseRemoteCommand(args);
  if (const auto* error = std::get_if<std::string>(&parsed)) {
    std::cerr << "zephyra-remote: " << *error << " (zephyra-remote --help lists the messages)\n";
    return 2;
  }
  const TRemoteCommand& command = std::get<TRemoteCommand>(parsed);

  QCoreApplication application(argc, argv);
  const QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    std::cerr << "zephyra-remote: no D-Bus session bus: " << bus.lastError().message().toStdString() << "\n";
    return 1;
  }
  const QStringList names =
      command.Pid ? QStringList{QLatin1String(GeneratorBusNames::ServicePrefix) + "p" + QString::number(*command.Pid)}
                  : TDBusGeneratorBus::GeneratorNames(bus);
  if (names.isEmpty()) {
    std::cerr << "zephyra-remote: no generator is running\n";
    return 1;
  }
  int failures = 0;
  for (const QString& name : names) {
    const QDBusMessage reply = TDBusGeneratorBus::Call(bus, name, command.Number, command.WParam, command.LParam,
                                                       GeneratorBusNames::DefaultTimeoutMs, QDBus::Block);
    if (reply.type() != QDBusMessage::ErrorMessage) continue;
    // A generator that ended after the names were listed is no failure.
    if (!command.Pid && TDBusGeneratorBus::HasGone(reply)) continue;
    ++failures;
    if (TDBusGeneratorBus::HasGone(reply))
      std::cerr << "zephyra-remote: no generator with process id " << *command.Pid << " is running\n";
    else
      std::cerr << "zephyra-remote: " << name.toStdString() << ": " << reply.errorMessage().toStdString() << "\n";
  }
  return failures == 0 ? 0 : 1;
}
