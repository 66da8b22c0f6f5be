#include "app/Startup.h"

#include "app/Application.h"
#include "app/CompanionFiles.h"
#include "app/ProductTexts.h"
#include "app/frmGenerator.h"
#include "app/frmStartSplash.h"
#include "export/frmWait.h"
#include "persistence/FileIO.h"
#include "platform/Clock.h"
#include "playback/frmSettings.h"
#include "script/frmScriptPopup.h"


bool ShowsSplash(const std::string& firstArgument) {
  return firstArgument.find("/nosplash") == std::string::npos;
}

bool IsBatchRun(const std::string& firstArgument) {
  // A folder or a pipe named "x.zes" is no script: the window opens instead.
  return firstArgument.find(".zes") != std::string::npos && IsExistingRegularFile(firstArgument);
}

std::string StartUsage() {
  return "Usage: zephyra [--scpi[=PORT]] [PRESET_FILE.zep | SCRIPT.zes | /nosplash]\n"
         "\n"
         "Plays filtered and modulated white or pink noise test signals on a sound device,\n"
         "or writes them to WAV files. Only the first argument counts:\n"
         "\n"
         "  (none)           the splash, then the window with the example presets in its\n"
         "                   four memories\n"
         "  /nosplash        the same without the splash\n"
         "  PRESET_FILE.zep  the window with that preset file in the memories instead; a\n"
         "                   file that cannot be read or is no preset file is reported\n"
         "                   and the program ends; a truncated one says what it holds\n"
         "  SCRIPT.zes       an existing regular file (not a folder): runs the script with\n"
         "                   the window hidden and ends (batch mode)\n"
         "  --scpi[=PORT]    the remote instrument (SCPI over TCP) on for this run, on\n"
         "                   PORT (default: the stored port, 5025); it may stand before\n"
         "                   or after the argument above\n"
         "  --help           this text\n"
         "  --version        the version and the licence\n"
         "\n"
         "The tests are case-sensitive and match anywhere in the argument. An argument\n"
         "without a full stop loads the examples; one with a full stop that names no\n"
         "existing \".zep\" or \".zes\" file loads nothing. The help topics (F1) tell more.\n"
         "\n"
         "Exit status: 0 when the window is closed or a script played every line; 1 when\n"
         "the preset file named cannot be read or is no preset file, or in batch mode the script or a preset file\n"
         "could not be used or the output did not start; 3 when a batch run was cancelled;\n"
         "4 when a line of a batch run played with dropouts.\n";
}

TStartup::TStartup(const TGeneratorServices& services, TStartupView& view, std::filesystem::path programFolder)
    : FServices(services), FView(view), FProgramFolder(std::move(programFolder)) {}

TStartup::~TStartup() {
  FView.WindowsDestroying();
  FWait.reset();
  FSettings.reset();
  FScriptPopup.reset();
  FSplash.reset();
  FGenerator.reset();
}

int TStartup::Run(const std::string& firstArgument) {
  FServices.Application.SetTitle(ProductName);
  CreateWindows(ShowsSplash(firstArgument), IsBatchRun(firstArgument));
  if (const auto status = LoadCommandLine(firstArgument)) return *status;
  return FView.Exec();
}

void TStartup::CreateWindows(bool splash, bool batch) {
  // The main window's creation shows the device message and asks the
  // welcome question (not in batch mode), both before the splash appears.
  FGenerator = std::make_unique<TfrmGenerator>(FServices, batch);
  FGenerator->State.random.Seed(static_cast<uint32_t>(FServices.Clock.HighResolutionCounter()));
  FView.GeneratorCreated(*FGenerator);
  if (splash) {
    FSplash = std::make_unique<TfrmStartSplash>();
    FView.SplashCreated(*FSplash);
  }
  FScriptPopup = std::make_unique<TfrmScriptPopup>(*FGenerator);
  FView.ScriptPopupCreated(*FScriptPopup);
  if (splash) FSplash->FadeIn(FServices.Loop);
  FSettings = std::make_unique<TfrmSettings>(*FGenerator, FServices.Shell);
  FView.SettingsCreated(*FSettings);
  FWait = std::make_unique<TfrmWait>(*FGenerator);
  FView.WaitCreated(*FWait);
  if (splash) {
    FSplash->FadeOut(FServices.Loop);
    FView.SplashDestroying(*FSplash);
    FSplash.reset();
  }
  FView.WindowsCreated(*FGenerator);
}

std::optional<int> TStartup::LoadCommandLine(const std::string& firstArgument) {
  // A script name has a full stop, so the examples never load before a batch run.
  if (IsBatchRun(firstArgument)) return FGenerator->RunBatchScript(firstArgument);
  const std::filesystem::path examplesFolder = FindCompanion(FProgramFolder, ExamplesFileName).parent_path();
  if (!FGenerator->LoadStartupPresets(firstArgument, examplesFolder.string())) return 1;
  return std::nullopt;
}
