// The window's script commands: Runscript delegates to the runner, which
// reaches the window only through the host below.

#include "app/frmGenerator.h"

#include "app/Application.h"
#include "app/ProductTexts.h"
#include "platform/Dialogs.h"
#include "script/frmScriptPopup.h"

#include <memory>

namespace {

class TWindowScriptHost final : public TScriptHost {
public:
  explicit TWindowScriptHost(TfrmGenerator& window) : FWindow(window) {}

  bool LoopChecked() const override { return FWindow.Loop.Checked(); }
  void SetLoopChecked(bool checked) override { FWindow.Loop.SetChecked(checked); }
  void DisableMainWindow() override { FWindow.SetEnabled(false); }
  void EnableMainWindow() override {
    FWindow.SetEnabled(true);
    FWindow.Services().Application.BringToFront();
  }
  TPresetImageCheck LoadSettings(const std::string& path) override { return FWindow.LoadSettings(path); }
  void MemRecall(int32_t n) override { FWindow.MemRecall(n); }
  void StartSignal() override { FWindow.startsignal(); }
  // A play ends once its last buffers have been heard, not when the device took them.
  bool OutputActive() const override { return FWindow.AudioOut1->Active || FWindow.AudioOut1->Rendering(); }
  TPlayDropouts OutputDropouts() override {
    const TDropouts dropouts = FWindow.AudioOut1->Dropouts();
    return {dropouts.Count, dropouts.Milliseconds};
  }
  std::optional<std::string> OutputLostAt() const override {
    if (!FWindow.AudioOut1->DeviceLost()) return std::nullopt;
    return FWindow.AudioOut1->LostAtText();
  }
  void StopOutput() override { FWindow.AudioOut1->StopAtOnce(); }
  void ShowProgress() override { Popup().Show(); }
  void HideProgress() override { Popup().Hide(); }
  bool ProgressVisible() const override { return FWindow.frmScriptPopup && FWindow.frmScriptPopup->Visible(); }
  void SetProgressText(const std::string& text) override { Popup().Label1.SetCaption(text); }
  bool NextPressed() const override { return FWindow.frmScriptPopup && FWindow.frmScriptPopup->NextPressed; }

private:
  /// The window's progress window; one of its own for a window created without one.
  TfrmScriptPopup& Popup() {
    if (!FWindow.frmScriptPopup) FOwnPopup = std::make_unique<TfrmScriptPopup>(FWindow);
    return *FWindow.frmScriptPopup;
  }

  TfrmGenerator& FWindow;
  std::unique_ptr<TfrmScriptPopup> FOwnPopup;
};

}  // namespace

TScriptRunner& TfrmGenerator::ScriptRunner() {
  if (!FScriptRunner)
    FScriptRunner = std::make_unique<TScriptRunner>(std::make_unique<TWindowScriptHost>(*this), FServices.Loop,
                                                    FServices.Dialogs, FServices.Application.SignalBusy,
                                                    FServices.Format);
  return *FScriptRunner;
}

void TfrmGenerator::SetScriptDeviceWaitMs(int ms) { ScriptRunner().SetDeviceWaitMs(ms); }

TScriptOutcome TfrmGenerator::Runscript(const std::string& fileName) { return ScriptRunner().Run(fileName); }

void TfrmGenerator::RunScript1Click() {
  AudioOut1->StopAtOnce();
  const auto path = FServices.Dialogs.OpenFileName(
      {.Title = "Open script file",
       .Filter = "Scripts|*.zes;*.kvs|KAV Script|*.kvs|All Files|*.*",
       .DefaultExt = "",
       .FileName = ""});
  if (path) Runscript(*path);
  FServices.Application.HelpFile = HelpFolder;
}

int TfrmGenerator::RunBatchScript(const std::string& fileName) {
  SetVisible(false);
  const TScriptOutcome outcome = Runscript(fileName);
  return ExitStatusOf(outcome, ScriptRunner().HadDropouts());
}
