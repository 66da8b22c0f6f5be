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

}  // namespace
