// The program: the generator's windows on Qt with the real services.

#include "AudioIO/portaudio/PortAudioWaveOut.h"
#include "app/Application.h"
#include "app/GeneratorServices.h"
#include "app/ProductTexts.h"
#include "app/frmGenerator.h"
#include "app/qt/GeneratorWindow.h"
#include "app/qt/QtDialogs.h"
#include "app/qt/QtMessageLoop.h"
#include "app/qt/QtNumberFormat.h"
#include "app/qt/QtShell.h"
#include "app/qt/SettingsDialog.h"
#include "platform/Clock.h"
#include "playback/frmSettings.h"

#include <QApplication>
#include <QLocale>

#include <clocale>

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
  application.ExeName = QCoreApplication::applicationFilePath().toStdString();

  TGeneratorServices services{application, loop, dialogs, shell, clock, waveOut, format};
  TfrmGenerator frmGenerator(services);
  frmGenerator.State.random.Seed(static_cast<uint32_t>(clock.HighResolutionCounter()));
  TQtGeneratorWindow window(frmGenerator, application);
  dialogs.SetParent(&window);
  // Start-up order: the main window, then the output settings window, whose
  // creation sets the sample rate in use.
  TfrmSettings frmSettings(frmGenerator, shell);
  TQtSettingsDialog settingsDialog(frmSettings, application, &window);
  frmGenerator.StartWithoutStoredSettings();

  window.show();
  return QApplication::exec();
}
