// The program: the generator's start-up on Qt with the real services.

#include "AudioIO/portaudio/PortAudioWaveOut.h"
#include "app/Application.h"
#include "app/GeneratorServices.h"
#include "app/Startup.h"
#include "app/qt/QtDialogs.h"
#include "app/qt/QtMessageLoop.h"
#include "app/qt/QtNumberFormat.h"
#include "app/qt/QtShell.h"
#include "app/qt/QtStartupView.h"
#include "persistence/RegFileStore.h"
#include "platform/Clock.h"
#include "platform/HotKey.h"
#include "platform/ScreenSaver.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

#include <clocale>
#include <string>

int main(int argc, char** argv) {
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
  TPortAudioWaveOut waveOut;
  TNullHotKey hotKey;
  TNullScreenSaver screenSaver;
  TApplication application(dialogs);
  application.ExeName = QCoreApplication::applicationFilePath().toStdString();
  TRegFileStore settingsStore(DefaultSettingsFilePath());
  TGeneratorServices services{application, loop, dialogs, shell, clock, waveOut, settingsStore, format,
                              &hotKey, &screenSaver};

  TQtStartupView view(application, dialogs);
  TStartup startup(services, view, programFolder.toStdString());
  return startup.Run(argc > 1 ? argv[1] : "");
}
