// Filter fields and types, preparation, and the values the renderer reads live.

#include "app/frmGenerator.h"

#include "analysis/SignalAnalysis.h"
#include "engine/Numbers.h"
#include "engine/Prepare.h"
#include "playback/RenderFeed.h"
#include "playback/frmSettings.h"

void TfrmGenerator::FilterFieldExit(TEdit& edit, const TFieldRule& rule) {
  edit.SetText(Cleanup(edit.Text(), rule, FServices.Format));
  Preparevariables();
}

void TfrmGenerator::txtFZeroLExit() { FilterFieldExit(txtFZeroL, FilterFrequencyRule(State.sampleRate)); }
void TfrmGenerator::txtGainLExit() { FilterFieldExit(txtGainL, FilterGainRule); }
void TfrmGenerator::txtQLExit() { FilterFieldExit(txtQL, FilterQRule); }
void TfrmGenerator::txtFZeroRExit() { FilterFieldExit(txtFZeroR, FilterFrequencyRule(State.sampleRate)); }
void TfrmGenerator::txtGainRExit() { FilterFieldExit(txtGainR, FilterGainRule); }
void TfrmGenerator::txtQRExit() { FilterFieldExit(txtQR, FilterQRule); }
void TfrmGenerator::cboFilterTypeL1Change() { FilterTypeChange(cboFilterTypeL1, txtQL); }
void TfrmGenerator::cboFilterTypeR1Change() { FilterTypeChange(cboFilterTypeR1, txtQR); }

void TfrmGenerator::FilterTypeChange(const TComboBox& type, TEdit& q) {
  // The switch is prepared with the Q it shows, not the one the old type had.
  if (FilterShowsQOfOne(type.ItemIndex())) q.SetText("1");
  Preparevariables();
}

namespace {

void ApplyFilterEdits(const std::optional<TFilterEdits>& edits, TEdit& fzero, TEdit& gain, TEdit& q) {
  if (!edits) return;
  fzero.SetEnabled(edits->FZeroEnabled);
  gain.SetEnabled(edits->GainEnabled);
  q.SetEnabled(edits->QEnabled);
  if (edits->QTextBecomesOne) q.SetText("1");
}

}  // namespace

void TfrmGenerator::Preparevariables() {
  // The render thread takes the prepared state whole, never a half-prepared one.
  struct TPublishWhenPrepared {
    TfrmGenerator& Window;
    ~TPublishWhenPrepared() {
      Window.FPreparing = false;
      Window.FFeed->Publish(Window.State, true);
    }
  } publish{*this};
  FPreparing = true;
  SyncLiveSettings();
  ReadSampleWidth();
  const TPrepareInput input{
      Duration.Text(),
      {txtFZeroL.Text(), txtQL.Text(), txtGainL.Text(), cboFilterTypeL1.ItemIndex()},
      {txtFZeroR.Text(), txtQR.Text(), txtGainR.Text(), cboFilterTypeR1.ItemIndex()}};
  TPrepareOutcome outcome;
  const auto apply = [&] {
    ApplyFilterEdits(outcome.Left, txtFZeroL, txtGainL, txtQL);
    ApplyFilterEdits(outcome.Right, txtFZeroR, txtGainR, txtQR);
  };
  try {
    ::Preparevariables(State, input, FServices.Format, [this] {
      AmplitudeLeftExit();
      AmplitudeRightExit();
    }, outcome);
  } catch (...) {
    apply();  // a design that completed before the failure still shows
    throw;
  }
  apply();
  FAnalysis->Prepared();
}

void TfrmGenerator::SyncLiveSettings() {
  State.channels = cboChannels.ItemIndex();
  State.asLeft = chkAsLeft.Checked();
  State.loop = Loop.Checked();
  State.left.noiseType = WaveFormLeft.ItemIndex();
  State.right.noiseType = WaveFormRight.ItemIndex();
  // The lists change without a reaction of their own (recall, reset, the
  // settings load), so the renderer takes them as they stand.
  State.left.filterType = cboFilterTypeL1.ItemIndex();
  State.right.filterType = cboFilterTypeR1.ItemIndex();
  State.left.modulationFunction = ModFunctionLeft.ItemIndex();
  State.right.modulationFunction = ModFunctionRight.ItemIndex();
  State.left.modulationOn = ModulationOnLeft.Checked();
  State.right.modulationOn = ModulationOnRight.Checked();
  State.left.channelOn = Lefttick.Checked() ? 1 : 0;
  State.right.channelOn = RightTick.Checked() ? 1 : 0;
  PublishLiveSettings();
}

void TfrmGenerator::PublishLiveSettings() {
  if (!FPreparing) FFeed->Publish(State, false);
}

void TfrmGenerator::ReadSampleWidth() {
  // The width of a running output stays as it started; the component's clamp
  // decides the width the frame size is computed from.
  if (AudioOut1->Active || !frmSettings) return;
  if (auto bits = frmSettings->QuantizationBits()) {
    AudioOut1->SetQuantization(*bits);
    State.bitsPerSample = AudioOut1->Quantization();
  }
}
