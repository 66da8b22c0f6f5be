#pragma once
// The windows of the start-up on Qt: each form the start-up creates gets its
// widget; Exec shows the main window and runs Qt's event loop.

#include "app/Startup.h"
#include "instrument/InstrumentSettings.h"

#include <functional>
#include <memory>

class TApplication;
class TQtGeneratorWindow;
class TQtScriptPopup;
class TQtSettingsDialog;
class TQtSplashWindow;
class TQtWaitDialog;
class TQtDialogs;
class TQtShell;

class TQtStartupView final : public TStartupView {
public:
  /// application, dialogs and shell must outlive the view; dialogs get the main
  /// window as parent, and F12 in the shell's help toggles its Response window.
  TQtStartupView(TApplication& application, TQtDialogs& dialogs, TQtShell& shell);
  ~TQtStartupView() override;

  void GeneratorCreated(TfrmGenerator& form) override;
  void SplashCreated(TfrmStartSplash& form) override;
  void SplashDestroying(TfrmStartSplash& form) override;
  void ScriptPopupCreated(TfrmScriptPopup& form) override;
  void SettingsCreated(TfrmSettings& form) override;
  void WaitCreated(TfrmWait& form) override;
  void WindowsCreated(TfrmGenerator& generator) override;
  int Exec() override;
  void WindowsDestroying() override;

  TQtGeneratorWindow* Window() const { return FWindow.get(); }
  /// Runs when every window exists (the program connects the generator bus here).
  std::function<void(TfrmGenerator&)> OnWindowsCreated;
  /// "--scpi[=PORT]" of the command line: the remote instrument on for this run.
  TScpiOption ScpiOption;

private:
  TApplication& FApplication;
  TQtDialogs& FDialogs;
  TQtShell& FShell;
  std::unique_ptr<TQtGeneratorWindow> FWindow;
  std::unique_ptr<TQtSplashWindow> FSplash;
  std::unique_ptr<TQtScriptPopup> FScriptPopup;
  std::unique_ptr<TQtSettingsDialog> FSettings;
  std::unique_ptr<TQtWaitDialog> FWait;
};
