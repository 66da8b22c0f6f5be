// zephyra-bus-burst SERVICE COUNT NUMBER [WPARAM [LPARAM]]: sends COUNT
// generator messages to one generator at once, without waiting between
// them, then waits for every answer; prints the milliseconds from the first
// call to the last answer and how many calls failed.

#include "sync/dbus/GeneratorBusNames.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QElapsedTimer>

#include <iostream>
#include <string>

namespace N = GeneratorBusNames;

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: zephyra-bus-burst SERVICE COUNT NUMBER [WPARAM [LPARAM]]\n";
    return 2;
  }
  QCoreApplication application(argc, argv);
  const QString service = QString::fromLocal8Bit(argv[1]);
  const int count = std::stoi(argv[2]);
  const uint32_t number = static_cast<uint32_t>(std::stoul(argv[3]));
  const uint32_t wParam = argc > 4 ? static_cast<uint32_t>(std::stol(argv[4])) : 0;
  const int32_t lParam = argc > 5 ? std::stoi(argv[5]) : 0;
  QDBusConnection bus = QDBusConnection::sessionBus();
  int answered = 0, failed = 0;
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < count; ++i) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, QLatin1String(N::ObjectPath),
                                                       QLatin1String(N::Interface), QLatin1String(N::Method));
    call << number << wParam << lParam;
    auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(call, 120000), &application);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, [&, pending] {
      if (pending->isError()) ++failed;
      if (++answered == count) application.quit();
      pending->deleteLater();
    });
  }
  application.exec();
  std::cout << "messages=" << count << " ms=" << clock.elapsed() << " failed=" << failed << "\n";
  return failed == 0 ? 0 : 1;
}
