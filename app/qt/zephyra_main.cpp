// The program: the generator's start-up on Qt with the real services.

#include "AudioIO/portaudio/PortAudioWaveOut.h"
#include "AudioIO/pulse/PulseWaveOut.h"
#include "app/Application.h"
#include "app/GeneratorServices.h"
#include "app/ProductTexts.h"
#include "app/Startup.h"
#include "app/frmGenerator.h"
#include "app/qt/DesktopHotKey.h"
#include "app/qt/QtDialogs.h"
#include "app/qt/QtMessageLoop.h"
#include "app/qt/QtNumberFormat.h"
#include "app/qt/QtShell.h"
#include "app/qt/QtStartupView.h"
#include "instrument/InstrumentSettings.h"
#include "persistence/RegFileStore.h"
#include "platform/InfoArguments.h"
#include "platform/Clock.h"
#include "eventlog/EventLog.h"
#include "platform/HotKey.h"
#include "sync/dbus/DBusGeneratorBus.h"
#include "sync/dbus/DBusScreenSaver.h"

#include <QApplication>
#include <QDBusConnection>
#include <QIcon>
#include <QLocale>

#include <clocale>
#include <cstdlib>
#include <memory>
#include <iostream>
#include <string>
#include <vector>

namespace {

/// The sound server's own interface whenever a server answers; PortAudio
/// (ALSA, JACK) on machines without one, or when ZEPHYRA_OUTPUT=portaudio.
std::unique_ptr<TWaveOutDevice> SystemWaveOut() {
  const char* choice = std::getenv("ZEPHYRA_OUTPUT");
  if (choice == nullptr || std::string(choice) != "portaudio")
    if (auto server = TPulseWaveOut::Connect()) return server;
  return std::make_unique<TPortAudioWaveOut>();
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = AnswerInfoArgument(argc, argv, StartUsage(), VersionText("zephyra"), std::cout))
    return *status;
  const TScpiOption scpi = TakeScpiOption(std::vector<std::string>(argv + 1, argv + argc));
  if (!scpi.Error.empty()) {
    std::cerr << "zephyra: " << scpi.Error << "\n";
    return 2;
  }
  QApplication qtApplication(argc, argv);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/zephyra/zephyra.png")));
  // No C library call may depend on the environment's number format; the
  // user's format reaches the window logic as a value instead.
  std::setlocale(LC_NUMERIC, "C");
  const TNumberFormat format = NumberFormatOf(QLocale::system());
  const QString programFolder = QCoreApplication::applicationDirPath();

  TQtMessageLoop loop;
  TQtDialogs dialogs;
  TQtShell shell(DefaultHelpFolders(programFolder));
  TSteadyClock clock;
  const std::unique_ptr<TWaveOutDevice> waveOut = SystemWaveOut();
  const std::unique_ptr<THotKey> hotKey = CreateDesktopHotKey(loop, QDBusConnection::sessionBus());
  TApplication application(dialogs);
  dialogs.SetApplication(&application);
  dialogs.SetHelp([&shell](int context) { shell.ShowHelp(context); });
  application.ExeName = QCoreApplication::applicationFilePath().toStdString();
  TRegFileStore settingsStore(DefaultSettingsFilePath());
  TDBusScreenSaver screenSaver(QDBusConnection::sessionBus(), ProductName);
  TGeneratorServices services{application, loop, dialogs, shell, clock, *waveOut, settingsStore, format,
                              hotKey.get(), &screenSaver, TEventLog::DefaultFile()};

  TQtStartupView view(application, dialogs, shell);
  // Other generators and remote programs reach this one once every window a
  // message may use exists. Without a session bus the window reaches only itself.
  view.OnWindowsCreated = [](TfrmGenerator& generator) {
    generator.SetBroadcast(std::make_unique<TDBusGeneratorBus>(
        QDBusConnection::sessionBus(), "p" + std::to_string(QCoreApplication::applicationPid()),
        [&generator](uint32_t n, uint32_t w, int32_t l, TDelivery d) { generator.ReceiveMessage(n, w, l, d); },
        GeneratorBusNames::DefaultTimeoutMs, [&generator] { return generator.Status(); }));
  };
  view.ScpiOption = scpi;
  TStartup startup(services, view, programFolder.toStdString());
  return startup.Run(scpi.Rest.empty() ? "" : scpi.Rest.front());
}
