#include "app/HelpTopics.h"
#include "tests/app/GeneratorFixture.h"

#include <vector>

namespace {

using ChannelMode = GeneratorFixture;
using AsLeft = GeneratorFixture;
using ChannelSwitches = GeneratorFixture;
using ModulationSwitches = GeneratorFixture;
using WindowLabels = GeneratorFixture;

std::vector<TControl*> RightChannelControls(TfrmGenerator& g) {
  return {&g.grpFilterR, &g.AmplitudeRight, &g.barAmplitudeRight, &g.lbldBFSR, &g.lblNoiseFunctionR,
          &g.ModulationOnRight, &g.WaveFormRight, &g.cboCrestFactorR};
}

TEST_F(ChannelMode, MonoSwitchesBothChannelsOnAndDisablesAndGreysTheRight) {
  Gen->cboChannels.UserSelect(cmStereo);
  Gen->RightTick.SetChecked(false);
  Gen->cboChannels.UserSelect(cmMono);
  EXPECT_TRUE(Gen->Lefttick.Checked());
  EXPECT_TRUE(Gen->RightTick.Checked());
  EXPECT_EQ(Gen->State.right.channelOn, 1);
  for (TControl* c : RightChannelControls(*Gen)) EXPECT_FALSE(c->Enabled()) << c->Name();
  EXPECT_FALSE(Gen->Lefttick.Enabled());
  EXPECT_FALSE(Gen->chkAsLeft.Enabled());
  for (TControl* c : std::vector<TControl*>{&Gen->WaveFormRight, &Gen->grpFilterR, &Gen->grpAmplitudeR})
    EXPECT_EQ(c->Font().Color, clGray) << c->Name();
  EXPECT_EQ(Gen->State.channels, cmMono);
}

TEST_F(ChannelMode, StereoFreesTheRightChannel) {
  Gen->cboChannels.UserSelect(cmStereo);
  for (TControl* c : RightChannelControls(*Gen)) EXPECT_TRUE(c->Enabled()) << c->Name();
  EXPECT_TRUE(Gen->chkAsLeft.Enabled());
  EXPECT_EQ(Gen->WaveFormRight.Font().Color, clWindowText);
}

TEST_F(AsLeft, TheRightChannelIsLockedAndFollowsTheLeft) {
  Gen->cboChannels.UserSelect(cmStereo);
  Gen->ModDepthLeftEdit.SetText("30");
  Gen->chkAsLeft.SetChecked(true);
  EXPECT_EQ(Gen->ModDepthRightEdit.Text(), "30");
  for (TControl* c : RightChannelControls(*Gen)) EXPECT_FALSE(c->Enabled()) << c->Name();
  EXPECT_EQ(Gen->grpAmplitudeR.Font().Color, clGray);

  Gen->WaveFormLeft.UserSelect(ntPink);
  EXPECT_EQ(Gen->WaveFormRight.ItemIndex(), ntPink);
  EXPECT_EQ(Gen->State.right.noiseType, ntPink);
  EXPECT_FLOAT_EQ(Gen->State.right.crestExponent, PinkCrestExponents[4]);

  Gen->AmplitudeLeft.SetText("-6");
  EXPECT_EQ(Gen->AmplitudeRight.Text(), "-6");
  EXPECT_EQ(Gen->barAmplitudeRight.Position(), 600);

  Gen->ModulationOnLeft.SetChecked(true);
  EXPECT_TRUE(Gen->ModulationOnRight.Checked());
  EXPECT_FALSE(Gen->ModPeriodRightEdit.Enabled()) << "the right group stays locked under = Left";
}

TEST_F(ChannelSwitches, BothOffStopsTheOutputAndDisablesOnAndExport) {
  Gen->cboChannels.UserSelect(cmStereo);
  StartOutput();
  Gen->Lefttick.SetChecked(false);
  EXPECT_TRUE(Gen->AudioOut1->Active);
  Gen->RightTick.SetChecked(false);
  Loop.ProcessMessages();
  EXPECT_FALSE(Gen->AudioOut1->Active);
  EXPECT_FALSE(Gen->btnON.Enabled());
  EXPECT_FALSE(Gen->OFF1.Enabled());
  EXPECT_FALSE(Gen->SaveToneAsWaveFile1.Enabled());
  Gen->RightTick.SetChecked(true);
  EXPECT_TRUE(Gen->btnON.Enabled());
  EXPECT_TRUE(Gen->OFF1.Enabled());
  EXPECT_EQ(Gen->State.left.channelOn, 0);
  EXPECT_EQ(Gen->State.right.channelOn, 1);
}

TEST_F(ChannelSwitches, WithoutADeviceTheUserIsToldAndOnStaysDisabled) {
  Device.Names.clear();
  Create();
  EXPECT_EQ(Dialogs.Messages.back(), "No Soundcard driver found. No sound output possible.");
  Gen->cboChannels.UserSelect(cmStereo);
  Gen->Lefttick.SetChecked(false);
  Gen->Lefttick.SetChecked(true);
  EXPECT_FALSE(Gen->btnON.Enabled());
  EXPECT_TRUE(Gen->SaveToneAsWaveFile1.Enabled());
}

TEST_F(ModulationSwitches, LeftSwitchEnablesItsGroupAndResetsTheModulationGain) {
  Gen->State.left.modulationGain = 0.3f;
  Gen->ModulationOnLeft.SetChecked(true);
  EXPECT_TRUE(Gen->ModPeriodLeftEdit.Enabled());
  EXPECT_TRUE(Gen->lblPhaseL.Enabled());
  EXPECT_EQ(Gen->ModFunctionLeft.Font().Color, clWindowText);
  EXPECT_TRUE(Gen->State.left.modulationOn);
  EXPECT_FLOAT_EQ(Gen->State.left.modulationGain, 1.0f);
  Gen->ModulationOnLeft.SetChecked(false);
  EXPECT_FALSE(Gen->ModDepthLeftEdit.Enabled());
  EXPECT_FALSE(Gen->lblSecL.Enabled());
  EXPECT_EQ(Gen->ModFunctionLeft.Font().Color, clGray);
}

TEST_F(ModulationSwitches, SwitchingRevalidatesTheLevels) {
  Gen->AmplitudeRight.SetText("7");
  Gen->ModulationOnRight.SetChecked(true);
  EXPECT_EQ(Gen->AmplitudeRight.Text(), "0");
}

TEST_F(WindowLabels, ActivationShowsTheRateInUse) {
  Gen->SetCaption("other");
  for (auto [entry, text] : {std::pair{3, "fs=44.1kHz"}, {2, "fs=22.05kHz"}, {4, "fs=48kHz"}}) {
    Settings->cboFsList.UserSelect(entry);
    Gen->FormActivate();
    EXPECT_EQ(Gen->lblFS.Caption(), text);
  }
  EXPECT_EQ(Gen->Caption(), "Zephyra");
}

TEST_F(WindowLabels, LinkLabelsUnderlineInBlueWhileHovered) {
  Gen->lblPeakRMSratioR.OnMouseEnter();
  EXPECT_EQ(Gen->lblPeakRMSratioR.Font(), (TFont{false, true, clBlue}));
  Gen->lblPeakRMSratioR.OnMouseLeave();
  EXPECT_EQ(Gen->lblPeakRMSratioR.Font(), (TFont{false, false, clBlack}));
  Gen->Links = {"mail@example.org", "https://example.org/maker", "https://example.org/rms"};
  Gen->lblPeakRMSratioL.OnClick();
  Gen->Emailtheauthor1.Click();
  ASSERT_EQ(Shell.Urls.size(), 2u);
  EXPECT_EQ(Shell.Urls[0], "https://example.org/rms");
  EXPECT_EQ(Shell.Urls[1], "mailto:mail@example.org?subject=Zephyra%20V1.3%20feedback");
}

TEST_F(WindowLabels, LinksWithoutAConfiguredAddressOpenTheirLocalStandIns) {
  Gen->Links = {};
  Gen->lblPeakRMSratioL.OnClick();
  Gen->lblCredit.OnClick();
  Gen->MoreAudioSoftware1.Click();
  Gen->Emailtheauthor1.Click();
  EXPECT_EQ(Shell.HelpTopics, (std::vector<int>{HelpContextCrestFactor, HelpContextIntroduction,
                                                HelpContextIntroduction}));
  EXPECT_EQ(Shell.Urls, (std::vector<std::string>{"mailto:?subject=Zephyra%20V1.3%20feedback"}))
      << "the mail program asks for the recipient";
  Gen->Links.MakerUrl = "https://example.org/maker";
  Gen->lblCredit.OnClick();
  Gen->MoreAudioSoftware1.Click();
  EXPECT_EQ(Shell.Urls.size(), 3u);
  EXPECT_EQ(Shell.Urls.back(), "https://example.org/maker");
}

}  // namespace
