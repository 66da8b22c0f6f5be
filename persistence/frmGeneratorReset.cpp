// Reset to the default settings, and copying one channel's settings to the other.

#include "app/frmGenerator.h"

void TfrmGenerator::rESETTOdEFAULT1Click() {
  barAmplitudeLeft.SetPosition(0);
  ModulationOnLeft.SetChecked(false);
  WaveFormLeft.SetItemIndex(ntPink);
  WaveFormLeftChange();
  barAmplitudeRight.SetPosition(0);
  ModulationOnRight.SetChecked(false);
  WaveFormRight.SetItemIndex(ntPink);
  cboFilterTypeL1.SetItemIndex(ftNone);
  txtFZeroL.SetText("1000");
  txtGainL.SetText("0");
  txtQL.SetText("1");
  cboFilterTypeR1.SetItemIndex(ftNone);
  txtFZeroR.SetText("1000");
  txtGainR.SetText("0");
  txtQR.SetText("1");
  cboCrestFactorL.SetItemIndex(4);
  cboCrestFactorR.SetItemIndex(4);
  cboCrestFactorLChange();
  cboCrestFactorRChange();
  Duration.SetText("10");
  DurationExit();
  Loop.SetChecked(true);
  cboChannels.SetItemIndex(cmMono);
  cboChannelsChange();
  ModPeriodLeftEdit.SetText("1");
  ModDepthLeftEdit.SetText("100");
  ModFunctionLeft.SetItemIndex(mfSine);
  ModPhaseLeftEdit.SetText("0");
  ModPeriodRightEdit.SetText("1");
  ModDepthRightEdit.SetText("100");
  ModFunctionRight.SetItemIndex(mfSine);
  ModPhaseRightEdit.SetText("0");
  WaveDevice.SetItemIndex(0);
  WaveDeviceChange();
  ModulationOnLeftClick();
  ModulationOnRightClick();
  SyncLiveSettings();
}

void TfrmGenerator::CopySettingsfromleftChannel1Click() {
  RightTick.SetChecked(Lefttick.Checked());
  WaveFormRight.SetItemIndex(WaveFormLeft.ItemIndex());
  ModulationOnRight.SetChecked(ModulationOnLeft.Checked());
  AmplitudeRight.SetText(AmplitudeLeft.Text());
  ModPeriodRightEdit.SetText(ModPeriodLeftEdit.Text());
  ModDepthRightEdit.SetText(ModDepthLeftEdit.Text());
  ModFunctionRight.SetItemIndex(ModFunctionLeft.ItemIndex());
  ModPhaseRightEdit.SetText(ModPhaseLeftEdit.Text());
  cboCrestFactorR.SetItemIndex(cboCrestFactorL.ItemIndex());
  cboCrestFactorRChange();
  SyncLiveSettings();
}

void TfrmGenerator::CopySettingsfromrightChannel1Click() {
  Lefttick.SetChecked(RightTick.Checked());
  WaveFormLeft.SetItemIndex(WaveFormRight.ItemIndex());
  WaveFormLeftChange();
  ModulationOnLeft.SetChecked(ModulationOnRight.Checked());
  AmplitudeLeft.SetText(AmplitudeRight.Text());
  ModPeriodLeftEdit.SetText(ModPeriodRightEdit.Text());
  ModDepthLeftEdit.SetText(ModDepthRightEdit.Text());
  ModFunctionLeft.SetItemIndex(ModFunctionRight.ItemIndex());
  ModPhaseLeftEdit.SetText(ModPhaseRightEdit.Text());
  cboCrestFactorL.SetItemIndex(cboCrestFactorR.ItemIndex());
  cboCrestFactorLChange();
  SyncLiveSettings();
}
