#include "app/Startup.h"

#include "app/Application.h"
#include "app/CompanionFiles.h"
#include "app/ProductTexts.h"
#include "app/frmGenerator.h"
#include "app/frmStartSplash.h"
#include "export/frmWait.h"
#include "platform/Clock.h"
#include "playback/frmSettings.h"
#include "script/frmScriptPopup.h"

#include <system_error>

bool ShowsSplash(const std::string& firstArgument) {
  return firstArgument.find("/nosplash") == std::string::npos;
}

bool NamesExistingFile(const std::string& firstArgument, const std::string& extension) {
  std::error_code ignored;
  return firstArgument.find(extension) != std::string::npos && std::filesystem::exists(firstArgument, ignored);
}

bool IsBatchRun(const std::string& firstArgument) { return NamesExistingFile(firstArgument, ".zes"); }

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
