// Channel mode, "= Left", channel switches, waveforms and crest factors.

#include "app/frmGenerator.h"

#include "engine/ChannelSettings.h"

#include <initializer_list>

bool TfrmGenerator::RightChannelFree() const { return cboChannels.ItemIndex() == cmStereo && !chkAsLeft.Checked(); }

void TfrmGenerator::ApplyLevelEnabling(bool rightFree) {
  // A running output locks both level fields; the channel rules may not undo that.
  AmplitudeLeft.SetEnabled(!FOutputLocked);
  AmplitudeRight.SetEnabled(rightFree && !FOutputLocked);
}

void TfrmGenerator::cboChannelsChange() {
  SyncLiveSettings();
  if (!AudioOut1->Active) StartMeterFall();  // what the meter shows belongs to the old channels
  if (cboChannels.ItemIndex() == cmMono) {
    Lefttick.SetChecked(true);
    RightTick.SetChecked(true);
    LefttickClick();
  }
  const bool free = RightChannelFree();
  for (TControl* c : std::initializer_list<TControl*>{&Lefttick, &RightTick, &grpFilterR, &barAmplitudeRight,
                                                      &lbldBFSR, &lblNoiseFunctionR, &ModulationOnRight,
                                                      &WaveFormRight, &cboCrestFactorR, &lblPeakRMSratioR})
    c->SetEnabled(free);
  ApplyLevelEnabling(free);
  chkAsLeft.SetEnabled(cboChannels.ItemIndex() == cmStereo);
  const TColor colour = free ? clWindowText : clGray;
  for (TControl* c : std::initializer_list<TControl*>{&WaveFormRight, &grpFilterR, &grpAmplitudeR})
    c->SetFontColor(colour);
  ModulationOnRightClick();
}

void TfrmGenerator::monoClick() {
  SyncLiveSettings();
  if (cboChannels.ItemIndex() == cmMono) {
    Lefttick.SetChecked(true);
    RightTick.SetChecked(true);
    LefttickClick();
  }
  const bool stereo = cboChannels.ItemIndex() == cmStereo;
  for (TControl* c : std::initializer_list<TControl*>{&Lefttick, &RightTick, &grpFilterR, &barAmplitudeRight,
                                                      &lbldBFSR, &lblNoiseFunctionR, &ModulationOnRight,
                                                      &WaveFormRight})
    c->SetEnabled(stereo);
  ApplyLevelEnabling(stereo);
}

void TfrmGenerator::chkAsLeftClick() {
  SyncLiveSettings();
  if (chkAsLeft.Checked()) CopySettingsfromleftChannel1Click();
  cboChannelsChange();
}

void TfrmGenerator::LefttickClick() {
  State.left.channelOn = Lefttick.Checked() ? 1 : 0;
  State.right.channelOn = RightTick.Checked() ? 1 : 0;
  PublishLiveSettings();
  const bool anyOn = Lefttick.Checked() || RightTick.Checked();
  if (!anyOn) AudioOut1->StopAtOnce();
  SaveToneAsWaveFile1.SetEnabled(anyOn);
  const bool canPlay = anyOn && FHasWaveDevice;
  if (canPlay || !anyOn) {
    btnON.SetEnabled(canPlay);
    OFF1.SetEnabled(canPlay);
  }
}

void TfrmGenerator::CrestFactorReaction(ChannelSettings& channel, const TComboBox& waveForm,
                                        const TComboBox& crest) {
  channel.noiseType = waveForm.ItemIndex();
  channel.crestIndex = crest.ItemIndex();
  CrestFactorChanged(channel);
  PublishLiveSettings();
}

void TfrmGenerator::WaveFormLeftChange() {
  if (chkAsLeft.Checked()) {
    WaveFormRight.SetItemIndex(WaveFormLeft.ItemIndex());
    CrestFactorReaction(State.right, WaveFormRight, cboCrestFactorR);
  }
  CrestFactorReaction(State.left, WaveFormLeft, cboCrestFactorL);
  SyncLiveSettings();
}

void TfrmGenerator::WaveFormRightChange() {
  CrestFactorReaction(State.right, WaveFormRight, cboCrestFactorR);
  SyncLiveSettings();
}

void TfrmGenerator::ModFunctionRightChange() { SyncLiveSettings(); }

void TfrmGenerator::cboCrestFactorLChange() { CrestFactorReaction(State.left, WaveFormLeft, cboCrestFactorL); }
void TfrmGenerator::cboCrestFactorRChange() { CrestFactorReaction(State.right, WaveFormRight, cboCrestFactorR); }

void TfrmGenerator::LoopClick() { SyncLiveSettings(); }
