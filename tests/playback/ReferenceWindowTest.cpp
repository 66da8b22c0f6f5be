// The reference noise window of the Tools menu on fake services: what the
// device receives, and how it shares the output with the generator's signal.

#include "analysis/SignalAnalysis.h"
#include "playback/frmReferenceNoise.h"
#include "tests/app/GeneratorFixture.h"

namespace {

class ReferenceWindow : public GeneratorFixture {
protected:
  void SetUp() override {
    GeneratorFixture::SetUp();
    Settings->cboQuant.UserSelect(1);  // 24 bits, the width of the published first samples
    Gen->ReferenceNoise1.Click();
  }
  TfrmReferenceNoise& Window() { return Gen->ReferenceNoise(); }
  void Press(TButton& button) {
    Device.Calls.clear();
    button.Click();
    Loop.ProcessMessages();
  }
  /// Channel c (0 left) of the first frame the device received, as hex.
  std::string FirstSample(int c) {
    const std::vector<uint8_t> data = Device.Writes().at(0).Data;
    char hex[7];
    std::snprintf(hex, sizeof hex, "%02x%02x%02x", data.at(3 * c), data.at(3 * c + 1), data.at(3 * c + 2));
    return hex;
  }
};

TEST_F(ReferenceWindow, PlaysTheReferenceOnTheChosenChannelAtAStandardRateUntilStop) {
  EXPECT_EQ(Window().lblRate.Caption(),
            "Plays at 48 kHz: the output rate, 11.025 kHz, is not one the standard defines (48, 96 or 192 kHz)");
  const std::tuple<int, const char*, const char*> cases[] = {{TfrmReferenceNoise::ceLeft, "f54be5", "000000"},
                                                             {TfrmReferenceNoise::ceRight, "000000", "f54be5"},
                                                             {TfrmReferenceNoise::ceBoth, "f54be5", "f54be5"}};
  for (const auto& [entry, left, right] : cases) {
    Window().cboChannel.UserSelect(entry);
    Press(Window().btnStart);
    ASSERT_TRUE(Gen->AudioOut1->Active) << entry;
    EXPECT_EQ(Device.Format.nSamplesPerSec, 48000u);
    EXPECT_EQ(FirstSample(0), left) << entry;
    EXPECT_EQ(FirstSample(1), right) << entry;
    EXPECT_EQ(Window().lblStatus.Caption(), "Playing on " + Window().cboChannel.Text());
    Press(Window().btnStop);
    EXPECT_FALSE(Device.IsOpen);
    EXPECT_EQ(Window().lblStatus.Caption(), "Stopped");
  }
}

TEST_F(ReferenceWindow, TheMeterAndTheDropoutCountShowIt) {
  Settings->cboFsList.UserSelect(5);  // 96 kHz, a rate of the standard
  Window().cboChannel.UserSelect(TfrmReferenceNoise::ceRight);
  Press(Window().btnStart);
  EXPECT_EQ(Window().lblRate.Caption(), "Plays at 96 kHz, the output rate");
  EXPECT_EQ(Device.Format.nSamplesPerSec, 96000u);
  EXPECT_EQ(Gen->Analysis().Levels(0).rmsDb, -INFINITY) << "the left channel is silent";
  EXPECT_NEAR(Gen->Analysis().Levels(1).rmsDb, -21.5, 1.5) << "-21.5 dBFS RMS, over one buffer";
  Device.Starve(4800);
  Device.ReturnBuffers(2);  // more than the meter's refresh interval
  Loop.ProcessMessages();
  EXPECT_EQ(Window().lblDropouts.Caption(), "Dropouts: 1");
}

TEST_F(ReferenceWindow, TheReferenceAndTheGeneratorsSignalStopEachOther) {
  StartOutput();
  Press(Window().btnStart);
  EXPECT_EQ(Device.CountOf("Close"), 1) << "the generator's signal stopped";
  EXPECT_EQ(FirstSample(0), "f54be5");
  Device.Calls.clear();
  StartOutput();
  EXPECT_EQ(Device.CountOf("Close"), 1) << "the reference stopped";
  EXPECT_TRUE(Gen->AudioOut1->Active);
  EXPECT_EQ(Device.Format.nChannels, 1) << "the generator's mono signal plays";
  EXPECT_EQ(Window().lblStatus.Caption(), "Stopped");
}

// Every output of a six-channel device by name; stepping through all plays
// the noise alone on each in turn for the chosen time, Next and Previous
// move it at once, and the output playing is named.
TEST_F(ReferenceWindow, StepsThroughEveryOutputOfTheDeviceInOrder) {
  Device.Names = {"Six Out"};
  Device.Channels = {{"Front Left", "Front Right", "Centre", "LFE", "Rear Left", "Rear Right"}};
  Create();
  Settings->cboQuant.UserSelect(1);
  Gen->WaveDevice.UserSelect(1);
  Gen->ReferenceNoise1.Click();
  ASSERT_EQ(Window().cboChannel.Items().size(), 9u);
  EXPECT_EQ(Window().cboChannel.Items()[7], "Output 5: Rear Left");
  EXPECT_EQ(Window().StepSeconds(), 10) << "the default time per output";

  Window().chkStepAll.SetChecked(true);
  Press(Window().btnStart);
  std::vector<uint16_t> outputs{Device.Outputs.Left};
  EXPECT_EQ(Device.Format.nChannels, 1) << "the noise alone, the other outputs silent";
  EXPECT_EQ(FirstSample(0), "f54be5");
  EXPECT_EQ(Window().lblCurrent.Caption(), "Front Left");
  for (int step = 0; step < 6; ++step) {
    Loop.Clock.Advance(9990);
    Window().OutputChanged();
    EXPECT_EQ(Device.Outputs.Left, outputs.back()) << "not before its time is up";
    Loop.Clock.Advance(10);
    Window().OutputChanged();
    Loop.ProcessMessages();
    outputs.push_back(Device.Outputs.Left);
  }
  EXPECT_EQ(outputs, (std::vector<uint16_t>{1, 2, 3, 4, 5, 6, 1}));
  Press(Window().btnPrevious);
  EXPECT_EQ(Device.Outputs.Left, 6);
  EXPECT_EQ(Window().lblCurrent.Caption(), "Rear Right");
  Press(Window().btnNext);
  EXPECT_EQ(Device.Outputs.Left, 1);
  Press(Window().btnStop);
  EXPECT_EQ(Window().lblCurrent.Caption(), "");
}

}  // namespace
