#include "playback/frmReferenceNoise.h"

#include "app/HelpTopics.h"
#include "engine/Numbers.h"
#include "engine/ReferenceNoise.h"
#include "platform/Shell.h"
#include "playback/ReferenceOutput.h"

#include <algorithm>

namespace {

/// Bit 0 left, bit 1 right, by entry of the channel list.
constexpr uint32_t ChannelMasks[] = {1, 2, 3};

}  // namespace

TfrmReferenceNoise::TfrmReferenceNoise(TReferenceOutput& output, TShell& shell, TNumberFormat format)
    : TForm("frmReferenceNoise"), FOutput(output), FShell(shell), FFormat(format) {
  SetCaption("Reference Noise (ST 2095-1)");
  SetVisible(false);
  HelpContext = HelpContextReferenceNoise;
  OnHelp = [this](int context) { FShell.ShowHelp(context); };
  lblLevel.SetCaption("-18.5 dB re full-scale sine, -21.5 dBFS RMS, peaks at most -9.5 dBFS");
  lblLevel.SetHint("Band-limited pink noise, 10 Hz to 22.4 kHz, sample for sample as SMPTE ST 2095-1 defines it");
  lblChannel.SetCaption("Channel");
  cboChannel.SetItems({"Left", "Right", "Left and Right"});
  cboChannel.SetItemIndex(ceLeft);
  cboChannel.SetHint("The channel or output of the device that plays the noise; the others are silent");
  chkStepAll.SetCaption("Step through all");
  chkStepAll.SetHint("Start plays the noise on each output of the device in turn");
  cboStepTime.SetItems({"5 s", "10 s", "15 s", "20 s", "30 s", "60 s"});
  cboStepTime.SetItemIndex(1);
  cboStepTime.SetHint("How long each output plays while stepping through all");
  btnPrevious.SetCaption("Previous");
  btnNext.SetCaption("Next");
  lblCurrent.SetFontSize(24);
  lblCurrent.SetFontBold(true);
  lblDropouts.SetCaption("Dropouts: 0");
  btnStart.SetCaption("Start");
  btnStart.SetDefault(true);
  btnStop.SetCaption("Stop");
  btnHelp.SetCaption("Help");
  btnClose.SetCaption("Close");

  cboChannel.OnChange = [this] { cboChannelChange(); };
  btnPrevious.OnClick = [this] { btnPreviousClick(); };
  btnNext.OnClick = [this] { btnNextClick(); };
  btnStart.OnClick = [this] { btnStartClick(); };
  btnStop.OnClick = [this] { btnStopClick(); };
  btnHelp.OnClick = [this] { btnHelpClick(); };
  btnClose.OnClick = [this] { btnCloseClick(); };
  OutputChanged();
}

int32_t TfrmReferenceNoise::PlayRate(int32_t outputRate) {
  return TReferenceNoise::SupportsRate(outputRate) ? outputRate : ReferenceLowestRate;
}

std::string TfrmReferenceNoise::RateText(int32_t rate) const {
  return FloatToStrGeneral(rate / 1000.0L, FFormat) + " kHz";
}

void TfrmReferenceNoise::ShowRate() {
  const int32_t output = FOutput.OutputRate();
  const int32_t rate = PlayRate(output);
  lblRate.SetCaption(rate == output ? "Plays at " + RateText(rate) + ", the output rate"
                                    : "Plays at " + RateText(rate) + ": the output rate, " + RateText(output) +
                                          ", is not one the standard defines (48, 96 or 192 kHz)");
  lblDevice.SetCaption("Device: " + FOutput.DeviceText());
}

void TfrmReferenceNoise::ListOutputs() {
  const std::vector<std::string> outputs = FOutput.OutputNames();
  if (outputs == FOutputs && cboChannel.Items().size() == ceFirstOutput + outputs.size()) return;
  FOutputs = outputs;
  const int32_t chosen = cboChannel.ItemIndex();
  std::vector<std::string> entries{"Left", "Right", "Left and Right"};
  for (size_t i = 0; i < outputs.size(); ++i) entries.push_back("Output " + std::to_string(i + 1) + ": " + outputs[i]);
  cboChannel.SetItems(entries);
  cboChannel.SetItemIndex(chosen >= 0 && chosen < static_cast<int32_t>(entries.size()) ? chosen : ceLeft);
}

uint16_t TfrmReferenceNoise::ChosenOutput() const {
  const int32_t entry = cboChannel.ItemIndex();
  return entry >= ceFirstOutput ? static_cast<uint16_t>(entry - ceFirstOutput + 1) : 0;
}

int32_t TfrmReferenceNoise::StepSeconds() const {
  try {
    return std::max(StrToInt(cboStepTime.Text().substr(0, cboStepTime.Text().find(' '))), 1);
  } catch (const EConvertError&) {
    return 10;
  }
}

void TfrmReferenceNoise::Show() {
  ListOutputs();
  OutputChanged();
  SetVisible(true);
  SetFocus(FOutput.ReferencePlaying() ? btnStop : btnStart);
}

void TfrmReferenceNoise::btnStartClick() {
  ListOutputs();
  if (chkStepAll.Checked() && ChosenOutput() == 0 && !FOutputs.empty()) cboChannel.SetItemIndex(ceFirstOutput);
  PlayChosen();
  if (FOutput.ReferencePlaying()) SetFocus(btnStop);
}

void TfrmReferenceNoise::PlayChosen() {
  const int32_t rate = PlayRate(FOutput.OutputRate());
  if (const uint16_t output = ChosenOutput(); output != 0)
    FOutput.PlayReferenceOn(rate, output);
  else
    FOutput.PlayReference(rate, ChannelMasks[std::clamp(cboChannel.ItemIndex(), int32_t{ceLeft}, int32_t{ceBoth})]);
  FStepStartMs = FOutput.TickCount();
  OutputChanged();
}

void TfrmReferenceNoise::StepBy(int32_t delta) {
  ListOutputs();
  const auto count = static_cast<int32_t>(FOutputs.size());
  if (count == 0) return;
  const int32_t at = ChosenOutput() == 0 ? (delta > 0 ? -1 : 0) : ChosenOutput() - 1;
  cboChannel.SetItemIndex(ceFirstOutput + ((at + delta) % count + count) % count);
  if (FOutput.ReferencePlaying())
    PlayChosen();
  else
    OutputChanged();
}

void TfrmReferenceNoise::btnNextClick() { StepBy(1); }
void TfrmReferenceNoise::btnPreviousClick() { StepBy(-1); }

void TfrmReferenceNoise::btnStopClick() {
  FOutput.StopReference();
  OutputChanged();
  SetFocus(btnStart);
}

void TfrmReferenceNoise::cboChannelChange() {
  if (FOutput.ReferencePlaying()) btnStartClick();
}

void TfrmReferenceNoise::btnHelpClick() { FShell.ShowHelp(HelpContextReferenceNoise); }

void TfrmReferenceNoise::btnCloseClick() {
  FOutput.StopReference();
  SetVisible(false);
}

void TfrmReferenceNoise::OutputChanged() {
  ShowRate();
  const bool playing = FOutput.ReferencePlaying();
  // A steady clock: the difference is right across the tick count's wrap.
  if (playing && chkStepAll.Checked() && ChosenOutput() != 0 &&
      FOutput.TickCount() - FStepStartMs >= static_cast<uint32_t>(StepSeconds()) * 1000u)
    return btnNextClick();
  lblStatus.SetCaption(playing ? "Playing on " + cboChannel.Text() : "Stopped");
  lblCurrent.SetCaption(playing && ChosenOutput() != 0 ? FOutputs[ChosenOutput() - 1] : "");
  lblStatus.SetFontBold(playing);
  btnStart.SetEnabled(FOutput.HasDevice());
  btnStop.SetEnabled(playing);
  const int64_t dropouts = FOutput.Dropouts();
  lblDropouts.SetCaption("Dropouts: " + std::to_string(dropouts));
  lblDropouts.SetFontColor(dropouts > 0 ? clRed : clWindowText);
}
