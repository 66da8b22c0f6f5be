#include "tests/app/GeneratorFixture.h"

namespace {

using ResetSettings = GeneratorFixture;
using ChannelCopy = GeneratorFixture;

TEST_F(ResetSettings, PutsEverySignalSettingBackToItsDefault) {
  Gen->cboChannels.UserSelect(cmStereo);
  Gen->barAmplitudeLeft.SetPosition(2000);
  Gen->barAmplitudeRight.SetPosition(300);
  Gen->ModulationOnLeft.SetChecked(true);
  Gen->ModulationOnRight.SetChecked(true);
  Gen->cboFilterTypeR1.UserSelect(ftNotch);
  Gen->txtFZeroR.SetText("300");
  Gen->cboCrestFactorL.UserSelect(0);
  Gen->ModPeriodRightEdit.SetText("3");
  Gen->ModFunctionLeft.UserSelect(mfSquare);
  Gen->WaveDevice.UserSelect(1);

  Gen->rESETTOdEFAULT1.Click();

  for (TEdit* e : {&Gen->AmplitudeLeft, &Gen->AmplitudeRight}) EXPECT_EQ(e->Text(), "0");
  EXPECT_NEAR(Gen->State.left.amplitudeGain, 1.0f, 1e-7);
  EXPECT_EQ(Gen->WaveFormLeft.Text(), "Pink Noise");
  EXPECT_EQ(Gen->WaveFormRight.Text(), "Pink Noise");
  EXPECT_EQ(Gen->cboFilterTypeL1.Text(), "None");
  EXPECT_EQ(Gen->cboFilterTypeR1.Text(), "None");
  EXPECT_EQ(Gen->txtFZeroR.Text(), "1000");
  EXPECT_EQ(Gen->txtGainL.Text(), "0");
  EXPECT_EQ(Gen->txtQL.Text(), "1");
  EXPECT_EQ(Gen->cboCrestFactorL.Text(), "6:1");
  EXPECT_FLOAT_EQ(Gen->State.left.crestExponent, PinkCrestExponents[4]);
  EXPECT_FLOAT_EQ(Gen->State.right.crestExponent, PinkCrestExponents[4]);
  EXPECT_FALSE(Gen->ModulationOnLeft.Checked());
  EXPECT_FALSE(Gen->ModulationOnRight.Checked());
  EXPECT_EQ(Gen->ModPeriodRightEdit.Text(), "1");
  EXPECT_FLOAT_EQ(Gen->State.right.modulationPeriod, 1.0f);
  EXPECT_EQ(Gen->ModDepthLeftEdit.Text(), "100");
  EXPECT_EQ(Gen->ModFunctionLeft.Text(), "Sine ");
  EXPECT_EQ(Gen->ModPhaseLeftEdit.Text(), "0");
  EXPECT_FALSE(Gen->ModPeriodLeftEdit.Enabled()) << "the modulation switch reactions ran";
  EXPECT_EQ(Gen->Duration.Text(), "10");
  EXPECT_TRUE(Gen->Loop.Checked());
  EXPECT_EQ(Gen->cboChannels.Text(), "Mono");
  EXPECT_TRUE(Gen->Lefttick.Checked());
  EXPECT_TRUE(Gen->RightTick.Checked());
  EXPECT_EQ(Gen->WaveDevice.ItemIndex(), 0);
  EXPECT_EQ(Gen->AudioOut1->WaveDevice(), 0xFFFFFFFFu);
}

TEST_F(ResetSettings, KeepsATypedLevelWhenTheSliderAlreadyStandsAtTheTop) {
  Gen->AmplitudeLeft.SetText("-7");
  Gen->rESETTOdEFAULT1.Click();
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-7");
}

TEST_F(ResetSettings, LeavesTheLinkTheOutputSettingsAndARunningOutputAlone) {
  Gen->cboChannels.UserSelect(cmStereo);
  Gen->chkAsLeft.SetChecked(true);
  Settings->cboFsList.UserSelect(4);
  StartOutput();
  Gen->rESETTOdEFAULT1.Click();
  EXPECT_TRUE(Gen->chkAsLeft.Checked());
  EXPECT_EQ(Gen->State.sampleRate, 48000);
  EXPECT_TRUE(Gen->AudioOut1->Active);
}

TEST_F(ChannelCopy, LeftToRightCopiesEverythingButTheFilter) {
  Gen->cboChannels.UserSelect(cmStereo);
  Gen->WaveFormLeft.UserSelect(ntPink);
  Gen->ModulationOnLeft.SetChecked(true);
  Gen->AmplitudeLeft.SetText("-9.5");
  Gen->ModPeriodLeftEdit.SetText("2");
  Gen->ModDepthLeftEdit.SetText("50");
  Gen->ModFunctionLeft.UserSelect(mfTriangular);
  Gen->ModPhaseLeftEdit.SetText("30");
  Gen->cboCrestFactorL.UserSelect(6);
  Gen->cboFilterTypeL1.UserSelect(ftPeaking);
  Gen->Lefttick.SetChecked(false);

  Gen->CopySettingsfromleftChannel1.Click();

  EXPECT_FALSE(Gen->RightTick.Checked());
  EXPECT_EQ(Gen->State.right.channelOn, 0);
  EXPECT_EQ(Gen->WaveFormRight.ItemIndex(), ntPink);
  EXPECT_TRUE(Gen->ModulationOnRight.Checked());
  EXPECT_EQ(Gen->AmplitudeRight.Text(), "-9.5");
  EXPECT_NEAR(Gen->State.right.amplitudeGain, Gen->State.left.amplitudeGain, 1e-7);
  EXPECT_FLOAT_EQ(Gen->State.right.modulationPeriod, 2.0f);
  EXPECT_FLOAT_EQ(Gen->State.right.modulationDepth, 0.5f);
  EXPECT_EQ(Gen->ModFunctionRight.ItemIndex(), mfTriangular);
  EXPECT_EQ(Gen->ModPhaseRightEdit.Text(), "30");
  EXPECT_FLOAT_EQ(Gen->State.right.crestExponent, PinkCrestExponents[6]);
  EXPECT_EQ(Gen->cboFilterTypeR1.ItemIndex(), ftNone) << "the filter stays";
}

TEST_F(ChannelCopy, RightToLeftRunsTheLeftWaveformAndCrestReactions) {
  Gen->cboChannels.UserSelect(cmStereo);
  Gen->WaveFormRight.UserSelect(ntPink);
  Gen->cboCrestFactorR.UserSelect(1);
  Gen->AmplitudeRight.SetText("-1");
  Gen->CopySettingsfromrightChannel1.Click();
  EXPECT_EQ(Gen->WaveFormLeft.ItemIndex(), ntPink);
  EXPECT_EQ(Gen->State.left.noiseType, ntPink);
  EXPECT_FLOAT_EQ(Gen->State.left.crestExponent, PinkCrestExponents[1]);
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-1");
}

}  // namespace
