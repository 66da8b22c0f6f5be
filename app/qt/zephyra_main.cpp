// The program: the generator's windows on Qt with the real services.

#include "AudioIO/portaudio/PortAudioWaveOut.h"
#include "app/Application.h"
#include "app/GeneratorServices.h"
#include "app/ProductTexts.h"
#include "app/frmGenerator.h"
#include "app/qt/DesktopHotKey.h"
#include "app/qt/GeneratorWindow.h"
#include "app/qt/QtDialogs.h"
#include "app/qt/QtMessageLoop.h"
#include "app/qt/QtNumberFormat.h"
#include "app/qt/QtShell.h"
#include "app/qt/ScriptPopup.h"
#include "app/qt/SettingsDialog.h"
#include "app/qt/WaitDialog.h"
#include "export/frmWait.h"
#include "persistence/RegFileStore.h"
#include "platform/Clock.h"
#include "playback/frmSettings.h"
#include "script/frmScriptPopup.h"
#include "sync/dbus/DBusGeneratorBus.h"
#include "sync/dbus/DBusScreenSaver.h"

#include <QApplication>
#include <QDBusConnection>
#include <QLocale>

#include <clocale>
#include <string>

int main(int argc, char** argv) {
  QApplication qtApplication(argc, argv);
  // No C library call may depend on the environment's number format; the
  // user's format reaches the window logic as a value instead.
  std::setlocale(LC_NUMERIC, "C");
  const TNumberFormat format = NumberFormatOf(QLocale::system());

  TQtMessageLoop loop;
  TQtDialogs dialogs;
  TQtShell shell(DefaultHelpFolders(QCoreApplication::applicationDirPath()));
  TSteadyClock clock;
  TPortAudioWaveOut waveOut;
  TApplication application(dialogs);
  application.SetTitle(ProductName);
  dialogs.SetApplication(&application);
  dialogs.SetHelp([&shell](int context) { shell.ShowHelp(context); });
  application.ExeName = QCoreApplication::applicationFilePath().toStdString();

  TRegFileStore settingsStore(DefaultSettingsFilePath());
  TDBusScreenSaver screenSaver(QDBusConnection::sessionBus(), ProductName);
  TGeneratorServices services{application, loop, dialogs, shell, clock, waveOut, settingsStore, format};
  services.ScreenSaver = &screenSaver;
  const std::unique_ptr<THotKey> hotKey = CreateDesktopHotKey(loop);
  services.HotKey = hotKey.get();
  TfrmGenerator frmGenerator(services);
  frmGenerator.State.random.Seed(static_cast<uint32_t>(clock.HighResolutionCounter()));
  TQtGeneratorWindow window(frmGenerator, application);
  dialogs.SetParent(&window);
  // Start-up order: the main window, the script progress window, then the
  // output settings window, whose creation loads the stored settings, then
  // the wait window of the WAV export, then the example presets.
  TfrmScriptPopup frmScriptPopup(frmGenerator);
  TQtScriptPopup scriptPopup(frmScriptPopup, application, &window);
  TfrmSettings frmSettings(frmGenerator, shell);
  TQtSettingsDialog settingsDialog(frmSettings, application, &window);
  TfrmWait frmWait(frmGenerator);
  TQtWaitDialog waitDialog(frmWait, application, &window);
  // Other generators and remote programs reach this one from here on, once
  // every window a message may use exists. Without a session bus the window
  // reaches only itself.
  frmGenerator.SetBroadcast(std::make_unique<TDBusGeneratorBus>(
      QDBusConnection::sessionBus(), "p" + std::to_string(QCoreApplication::applicationPid()),
      [&frmGenerator](uint32_t n, uint32_t w, int32_t l) { frmGenerator.WndProc(n, w, l); }));
  const std::string firstArgument = argc > 1 ? argv[1] : "";
  if (!frmGenerator.LoadStartupPresets(firstArgument, QCoreApplication::applicationDirPath().toStdString()))
    return 1;

  window.show();
  return QApplication::exec();
}
