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
  cboChannel.SetHint("The channel that plays the noise; the other one is silent");
  lblDropouts.SetCaption("Dropouts: 0");
  btnStart.SetCaption("Start");
  btnStart.SetDefault(true);
  btnStop.SetCaption("Stop");
  btnHelp.SetCaption("Help");
  btnClose.SetCaption("Close");

  cboChannel.OnChange = [this] { cboChannelChange(); };
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

void TfrmReferenceNoise::Show() {
  OutputChanged();
  SetVisible(true);
  SetFocus(FOutput.ReferencePlaying() ? btnStop : btnStart);
}

void TfrmReferenceNoise::btnStartClick() {
  const int32_t entry = std::clamp(cboChannel.ItemIndex(), int32_t{ceLeft}, int32_t{ceBoth});
  FOutput.PlayReference(PlayRate(FOutput.OutputRate()), ChannelMasks[entry]);
  OutputChanged();
  if (FOutput.ReferencePlaying()) SetFocus(btnStop);
}

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
  lblStatus.SetCaption(playing ? "Playing on " + cboChannel.Text() : "Stopped");
  lblStatus.SetFontBold(playing);
  btnStart.SetEnabled(FOutput.HasDevice());
  btnStop.SetEnabled(playing);
  const int64_t dropouts = FOutput.Dropouts();
  lblDropouts.SetCaption("Dropouts: " + std::to_string(dropouts));
  lblDropouts.SetFontColor(dropouts > 0 ? clRed : clWindowText);
}
