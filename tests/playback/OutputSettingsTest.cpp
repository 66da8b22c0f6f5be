#include "platform/SettingsStore.h"
#include "tests/app/GeneratorFixture.h"

namespace {

using OutputSettings = GeneratorFixture;

TEST_F(OutputSettings, CreationSelectsTheDefaultEntriesAndTheRateInUse) {
  EXPECT_EQ(Settings->cboFsList.Text(), "11025");
  EXPECT_EQ(Settings->cboQuant.Text(), "16");
  EXPECT_EQ(Settings->cboBufferSize.Text(), "16384");
  EXPECT_EQ(Settings->cboBuffers.Text(), "4");
  EXPECT_TRUE(Settings->chkDisableSS.Checked());
  EXPECT_FALSE(Settings->Visible());
  EXPECT_EQ(Gen->State.sampleRate, 11025);
}

TEST_F(OutputSettings, OpeningTheWindowStopsTheOutput) {
  StartOutput();
  Gen->lblFS.OnClick();
  Loop.ProcessMessages();
  EXPECT_FALSE(Gen->AudioOut1->Active);
  EXPECT_TRUE(Settings->Visible());
  Settings->Button1.Click();
  EXPECT_FALSE(Settings->Visible());
}

TEST_F(OutputSettings, ARateChangeStopsTheOutputAndTheNextStartUsesIt) {
  StartOutput();
  Settings->cboFsList.UserSelect(3);
  Loop.ProcessMessages();
  EXPECT_FALSE(Gen->AudioOut1->Active);
  StartOutput();
  EXPECT_EQ(Device.Format.nSamplesPerSec, 44100u);
  EXPECT_EQ(Gen->lblFS.Caption(), "fs=44.1kHz") << "the main window shows the new rate at once";
}

TEST_F(OutputSettings, ABufferCountChangeStopsTheOutputAndTheNextStartUsesIt) {
  StartOutput();
  Settings->cboBuffers.UserSelect(1);
  Loop.ProcessMessages();
  EXPECT_FALSE(Gen->AudioOut1->Active);
  const int writes = Device.CountOf("Write");
  StartOutput();
  EXPECT_EQ(Device.CountOf("Write") - writes, 3);
  EXPECT_EQ(Gen->AudioOut1->NumBuffers(), 3);
}

TEST_F(OutputSettings, TheBufferSizeComesFromItsList) {
  Settings->cboBufferSize.UserSelect(4);
  StartOutput();
  EXPECT_EQ(Gen->AudioOut1->BufferSize(), 64536);
}

// The outputs of a six-channel device: listed by name, chosen, used at the
// next start, stored and read back; a choice the device no longer has plays
// on the default with a message and stays stored.
TEST_F(OutputSettings, LeftAndRightPlayOnTheChosenOutputsWhichSurviveARestartAndFallBackWhenGone) {
  Device.Names = {"Six Out"};
  Device.Channels = {{"Front Left", "Front Right", "Centre", "LFE", "Rear Left", "Rear Right"}};
  Create();
  EXPECT_EQ(Gen->WaveDevice.Items().back(), "Six Out (6 outputs)");
  Gen->WaveDevice.UserSelect(1);
  EXPECT_EQ(Settings->cboLeftOutput.Items(), Device.Channels[0]);
  EXPECT_EQ(Settings->cboLeftOutput.Text(), "Front Left") << "the first two by default";
  EXPECT_EQ(Settings->cboRightOutput.Text(), "Front Right");
  Settings->cboLeftOutput.UserSelect(4);
  Settings->cboRightOutput.UserSelect(5);
  StartOutput();
  EXPECT_EQ(Device.Outputs.Left, 5);
  EXPECT_EQ(Device.Outputs.Right, 6);
  Gen->btnOFFClick();
  Settings->Button1.Click();
  Gen->StoreGeneratorSettings();

  Create();
  EXPECT_EQ(Gen->WaveDevice.Text(), "Six Out (6 outputs)") << "the device is found by its name";
  EXPECT_EQ(Settings->cboLeftOutput.Text(), "Rear Left");
  EXPECT_EQ(Settings->cboRightOutput.Text(), "Rear Right");

  Device.Channels = {{"Front Left", "Front Right", "Centre", "LFE", "Rear Left"}};  // the device changed since
  Create();
  Gen->cboChannels.UserSelect(cmStereo);
  EXPECT_EQ(Settings->cboRightOutput.Text(), "Front Right");
  StartOutput();
  EXPECT_EQ(Device.Outputs.Left, 5);
  EXPECT_EQ(Device.Outputs.Right, 0) << "Right takes its default";
  ASSERT_FALSE(Dialogs.Messages.empty());
  EXPECT_NE(Dialogs.Messages.back().find("output 6"), std::string::npos) << Dialogs.Messages.back();
  EXPECT_EQ(Settings->Outputs().Right, 6) << "the stored choice stays";
}

TEST_F(OutputSettings, OldSettingsWithoutOutputsKeepTheDefault) {
  TSettingsKey key(Store, TKeyAccess::Create);
  key.WriteInteger("Fs", 3);
  key.Close();
  Create();
  EXPECT_EQ(Settings->cboFsList.Text(), "44100");
  EXPECT_TRUE(Settings->Outputs().Default());
  StartOutput();
  EXPECT_TRUE(Device.Outputs.Default());
}

}  // namespace
