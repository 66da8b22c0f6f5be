// zephyra-remote: sends one generator message to every running generator, in
// the order of their bus names, or to the one with a given process id; or
// prints their status, each generator's lines under a line [BUS NAME] unless
// one is addressed with --pid.
// Exit status: 0 every generator answered, 1 none running or one failed,
// 2 a bad command line.

#include "app/ProductTexts.h"
#include "platform/InfoArguments.h"
#include "sync/RemoteCommand.h"
#include "sync/dbus/DBusGeneratorBus.h"
#include "sync/dbus/DBusStatus.h"
#include "sync/dbus/GeneratorBusNames.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>

#include <iostream>
#include <string>
#include <vector>

namespace {

/// Reports a failed call on stderr; a generator that ended after the names
/// were listed is no failure.
bool Failed(const QDBusMessage& reply, const TRemoteCommand& command, const QString& name) {
  if (reply.type() != QDBusMessage::ErrorMessage) return false;
  const bool gone = TDBusGeneratorBus::HasGone(reply);
  if (!command.Pid && gone) return false;
  if (gone)
    std::cerr << "zephyra-remote: no generator with process id " << *command.Pid << " is running\n";
  else
    std::cerr << "zephyra-remote: " << name.toStdString() << ": " << reply.errorMessage().toStdString() << "\n";
  return true;
}

QDBusMessage PrintStatus(const QDBusConnection& bus, const QString& name, const TRemoteCommand& command) {
  const QDBusMessage reply = CallStatus(bus, name, GeneratorBusNames::DefaultTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage) return reply;
  if (!command.Pid) std::cout << "[" << name.toStdString() << "]\n";
  std::cout << StatusText(StatusFieldsOf(reply));
  return reply;
}

QDBusMessage Perform(const QDBusConnection& bus, const QString& name, const TRemoteCommand& command) {
  if (command.Status) return PrintStatus(bus, name, command);
  return TDBusGeneratorBus::Call(bus, name, command.Number, command.WParam, command.LParam,
                                 GeneratorBusNames::DefaultTimeoutMs, QDBus::Block);
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = AnswerInfoArgument(argc, argv, RemoteUsage(), VersionText("zephyra-remote"), std::cout))
    return *status;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "-h") {
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
  for (const QString& name : names) failures += Failed(Perform(bus, name, command), command, name);
  return failures == 0 ? 0 : 1;
}
