#include "app/qt/QtStartupView.h"

#include "app/Application.h"
#include "app/frmGenerator.h"
#include "app/frmStartSplash.h"
#include "app/qt/DesktopCompositor.h"
#include "app/qt/GeneratorWindow.h"
#include "app/qt/QtDialogs.h"
#include "app/qt/QtShell.h"
#include "app/qt/ScriptPopup.h"
#include "app/qt/SettingsDialog.h"
#include "app/qt/SplashWindow.h"
#include "app/qt/WaitDialog.h"

#include <QApplication>

TQtStartupView::TQtStartupView(TApplication& application, TQtDialogs& dialogs, TQtShell& shell)
    : FApplication(application), FDialogs(dialogs), FShell(shell) {}

TQtStartupView::~TQtStartupView() { WindowsDestroying(); }

void TQtStartupView::GeneratorCreated(TfrmGenerator& form) {
  FWindow = std::make_unique<TQtGeneratorWindow>(form, FApplication);
  FDialogs.SetParent(FWindow.get());
  FShell.SetResponseKey([this, &form] { FApplication.Perform([&form] { form.Response1.Click(); }); });
}

void TQtStartupView::SplashCreated(TfrmStartSplash& form) {
  form.SetBlended(DesktopFadesWindows());
  FSplash = std::make_unique<TQtSplashWindow>(form);
}
void TQtStartupView::SplashDestroying(TfrmStartSplash&) { FSplash.reset(); }

void TQtStartupView::ScriptPopupCreated(TfrmScriptPopup& form) {
  FScriptPopup = std::make_unique<TQtScriptPopup>(form, FApplication, FWindow.get());
}

void TQtStartupView::SettingsCreated(TfrmSettings& form) {
  FSettings = std::make_unique<TQtSettingsDialog>(form, FApplication, FWindow.get());
}

void TQtStartupView::WaitCreated(TfrmWait& form) {
  FWait = std::make_unique<TQtWaitDialog>(form, FApplication, FWindow.get());
}

void TQtStartupView::WindowsCreated(TfrmGenerator& generator) {
  if (OnWindowsCreated) OnWindowsCreated(generator);
  if (FWindow) FWindow->StartInstrument(ScpiOption);
}

int TQtStartupView::Exec() {
  FWindow->show();
  // The introduction the welcome question opened before the main window
  // existed on screen stays in front of it.
  FShell.RaiseHelp();
  return QApplication::exec();
}

void TQtStartupView::WindowsDestroying() {
  FWait.reset();
  FSettings.reset();
  FScriptPopup.reset();
  FSplash.reset();
  FDialogs.SetParent(nullptr);
  FShell.SetResponseKey(nullptr);
  FWindow.reset();
}
