#pragma once
// The program's start, in its fixed order: the main window (device list, hot
// key, welcome question unless in batch mode), the splash, the script progress window, the splash
// fading in, the output settings window
// (whose creation loads the stored settings), the wait window of the WAV
// export, the splash fading out, then the presets or the batch script the
// first command-line argument names, and the message loop.

#include "app/GeneratorServices.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class TfrmGenerator;
class TfrmScriptPopup;
class TfrmSettings;
class TfrmStartSplash;
class TfrmWait;

/// What shows the windows the start-up creates: the Qt view in the program,
/// a recording fake in tests. Every window is created hidden.
class TStartupView {
public:
  virtual ~TStartupView() = default;
  virtual void GeneratorCreated(TfrmGenerator& form) = 0;
  virtual void SplashCreated(TfrmStartSplash& form) = 0;
  /// The splash has faded out and is about to be destroyed.
  virtual void SplashDestroying(TfrmStartSplash& form) = 0;
  virtual void ScriptPopupCreated(TfrmScriptPopup& form) = 0;
  virtual void SettingsCreated(TfrmSettings& form) = 0;
  virtual void WaitCreated(TfrmWait& form) = 0;
  /// Every window exists and the splash is gone: other programs may reach
  /// the main window from now on.
  virtual void WindowsCreated(TfrmGenerator& generator) = 0;
  /// Shows the main window and runs the message loop until the program
  /// ends; returns the exit status.
  virtual int Exec() = 0;
  /// The windows are about to be destroyed: the view lets go of them.
  virtual void WindowsDestroying() = 0;
};

/// The tests the start-up makes on the first argument; case-sensitive, each
/// text may stand anywhere in it.
bool ShowsSplash(const std::string& firstArgument);
/// The first argument names a script to run in batch mode: it contains ".zes"
/// and is an existing regular file (links followed).
bool IsBatchRun(const std::string& firstArgument);

/// The forms of the first argument, as zephyra --help prints them.
std::string StartUsage();

class TStartup {
public:
  /// services and view must outlive the start-up object; programFolder is
  /// the executable's folder, where the companion files are looked for.
  TStartup(const TGeneratorServices& services, TStartupView& view, std::filesystem::path programFolder);
  ~TStartup();

  /// Starts the program with its first command-line argument (empty: none)
  /// and runs it to its end. Returns the exit status: the message loop's;
  /// the script's in batch mode; 1 when a preset file named there cannot be read.
  int Run(const std::string& firstArgument);

  TfrmGenerator* Generator() const { return FGenerator.get(); }
  TfrmSettings* Settings() const { return FSettings.get(); }
  TfrmWait* Wait() const { return FWait.get(); }

private:
  void CreateWindows(bool splash, bool batch);
  /// The examples, a batch script or a preset file; returns the exit status
  /// when the program ends here.
  std::optional<int> LoadCommandLine(const std::string& firstArgument);

  TGeneratorServices FServices;
  TStartupView& FView;
  std::filesystem::path FProgramFolder;
  std::unique_ptr<TfrmGenerator> FGenerator;
  std::unique_ptr<TfrmStartSplash> FSplash;
  std::unique_ptr<TfrmScriptPopup> FScriptPopup;
  std::unique_ptr<TfrmSettings> FSettings;
  std::unique_ptr<TfrmWait> FWait;
};
