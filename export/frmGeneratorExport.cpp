// One pass of the signal into a WAV file, and the suppressible hint.

#include "app/frmGenerator.h"

#include "app/Application.h"
#include "export/ExportRenderer.h"
#include "export/WavFileWriter.h"
#include "export/frmWait.h"
#include "persistence/FileError.h"
#include "platform/MessageLoop.h"
#include "platform/SettingsStore.h"
#include "playback/frmSettings.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr const char* CdFormatHint =
    "If you would like to burn your created wave files to CD, they must be generated in stereo and at 44.1kHz "
    "sampling rate. Your current settings are different. Would you like to adjust this now?";
constexpr int kCdRateIndex = 3;  // "44100" in the rate list
constexpr uint64_t kProgressFrames = 10000;

/// Runs a call when the scope ends, however it ends.
template <class F>
struct TOnExit {
  F Call;
  ~TOnExit() { Call(); }
};
template <class F> TOnExit(F) -> TOnExit<F>;

/// The frame after which the export shows progress next, counting from done:
/// frames 0, 10000, 20000, ...
uint64_t NextProgressFrame(uint64_t done) {
  return (done + kProgressFrames - 1) / kProgressFrames * kProgressFrames;
}

}  // namespace

TModalResult TfrmGenerator::ShowSuppressibleHint(const std::string& message, const std::string& caption,
                                                 const std::string& valueName, TMsgButtons buttons) {
  if (TSettingsKey(FServices.Settings, TKeyAccess::OpenExisting).ValueExists(valueName)) return TModalResult::None;
  bool dontShowAgain = false;
  const TModalResult result = FServices.Dialogs.SuppressibleQuestion(message, caption, buttons, dontShowAgain);
  if (dontShowAgain) {
    try {
      TSettingsKey key(FServices.Settings, TKeyAccess::Create);
      key.WriteBool(valueName, true);
      key.Close();
    } catch (const TSettingsError& e) {
      // A kept settings file is reported once, when the main window closes.
      if (FServices.Settings.KeptFileReport().empty()) FServices.Application.HandleException(e);
    }
  }
  return result;
}

void TfrmGenerator::SaveWaveFile1Click() {
  if (frmSettings->cboFsList.Text() != "44100" || cboChannels.ItemIndex() != cmStereo) {
    if (ShowSuppressibleHint(CdFormatHint, "Hint", "CDformat", TMsgButtons::YesNo) == TModalResult::Yes) {
      cboChannels.UserSelect(cmStereo);
      frmSettings->cboFsList.SetItemIndex(kCdRateIndex);
      frmSettings->ApplySampleRate();
    }
  }
  ExportSignal([this] {
    return FServices.Dialogs.SaveFileName({.Title = "Save wave file",
                                           .Filter = "WAVE file|*.wav",
                                           .DefaultExt = "wav",
                                           .FileName = Duration.Text() + "s ",
                                           .OverwritePrompt = true});
  });
}

TfrmGenerator::TWaveWriteOutcome TfrmGenerator::ExportSignal(
    const std::function<std::optional<std::string>()>& chooseFile) {
  const bool loop = Loop.Checked();
  TOnExit restoreLoop{[this, loop] { Loop.SetChecked(loop); }};
  Loop.SetChecked(false);
  AudioOut1->StopAtOnce();
  Preparevariables();
  const auto path = chooseFile();
  return path ? WriteWaveData(*path) : TWaveWriteOutcome::Cancelled;
}

void TfrmGenerator::BeginWaitWindow() {
  SetEnabled(false);
  if (frmWait) {
    frmWait->ProgressBar1.SetPosition(0);
    frmWait->SetVisible(true);
    // The wait window takes the keyboard, so that Esc cancels at once.
    frmWait->SetFocus(frmWait->btnCancel);
  }
  FServices.Loop.ProcessMessages();
  FServices.Loop.Sleep(100);
}

void TfrmGenerator::EndWaitWindow() {
  if (frmWait) frmWait->SetVisible(false);
  SetEnabled(true);
  FServices.Application.BringToFront();
}

TfrmGenerator::TWaveWriteOutcome TfrmGenerator::WriteWaveData(const std::string& fileName) {
  const bool stereo = cboChannels.ItemIndex() == cmStereo;
  const int bytes = State.bitsPerSample / 8;
  const TWavFormat format{static_cast<uint32_t>(State.sampleRate), static_cast<uint16_t>(stereo ? 2 : 1),
                          static_cast<uint16_t>(bytes)};
  const uint64_t frames = State.totalFrames > 0 ? static_cast<uint64_t>(State.totalFrames) : 0;
  if (frames > MaxWavFrames(format)) {
    FServices.Dialogs.ShowMessage(WavTooLongMessage(format));
    return TWaveWriteOutcome::Failed;
  }
  State.fullScale = FullScaleFor(State.bitsPerSample);

  BeginWaitWindow();
  TOnExit endWait{[this] { EndWaitWindow(); }};
  std::optional<TWavFileWriter> writer;
  try {
    writer.emplace(fileName, format, frames);
  } catch (const TFileError& e) {
    FServices.Dialogs.ShowMessage(e.what());
    return TWaveWriteOutcome::Failed;
  }

  StartMeterFall();  // the meter shows no run while the export renders
  const int64_t clippedBefore[2] = {State.clipped[0], State.clipped[1]};
  TOnExit countClipped{[&] { FExportClipped = {State.clipped[0] - clippedBefore[0], State.clipped[1] - clippedBefore[1]}; }};
  // Blocks end where the export shows progress and lets messages in, so a
  // value changed there takes effect at the next frame, as frame by frame.
  TExportRenderer renderer(State, {stereo, bytes}, static_cast<int32_t>(kProgressFrames));
  std::vector<uint8_t> block(kProgressFrames * format.BytesPerFrame());
  bool cancelled = false;
  for (uint64_t done = 0; done < frames;) {
    const uint64_t progressFrame = NextProgressFrame(done);
    const uint64_t count = std::min(frames, progressFrame + 1) - done;
    renderer.Render(block.data(), static_cast<int32_t>(count));
    done += count;
    if (!writer->WriteBytes({block.data(), static_cast<size_t>(count * format.BytesPerFrame())})) break;
    if (done - 1 == progressFrame && frmWait && frmWait->Visible()) {
      frmWait->ProgressBar1.SetPosition(
          static_cast<int32_t>(std::llround(static_cast<double>(progressFrame) * 100.0 / frames)));
      FServices.Loop.ProcessMessages();
    }
    if (frmWait && frmWait->WaitCancel) {
      cancelled = true;
      break;
    }
  }
  if (cancelled) {
    frmWait->WaitCancel = false;
    writer->Discard();
    return TWaveWriteOutcome::Cancelled;
  }
  if (!writer->Close()) {
    FServices.Dialogs.ShowMessage(kWavWriteErrorText);
    return TWaveWriteOutcome::Failed;
  }
  return TWaveWriteOutcome::Written;
}
