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
    button.Click();
    Loop.ProcessMessages();
  }
  /// Channel c of the first frames the device received, as hex.
  std::string FirstSamples(int c, int frames = 2) {
    const auto data = Device.Writes().front().Data;
    std::string text;
    char pair[3];
    for (int f = 0; f < frames; ++f)
      for (int b = 0; b < 3; ++b) {
        std::snprintf(pair, sizeof pair, "%02x", data.at(static_cast<size_t>(6 * f + 3 * c + b)));
        text += pair;
      }
    return text;
  }
};

TEST_F(ReferenceWindow, PlaysTheReferenceOnTheChosenChannelUntilStop) {
  ASSERT_TRUE(Window().Visible());
  EXPECT_EQ(Window().lblRate.Caption(),
            "Plays at 48 kHz: the output rate, 11.025 kHz, is not one the standard defines (48, 96 or 192 kHz)");
  struct TCase {
    int Entry;
    const char* Left;
    const char* Right;
  };
  const TCase cases[] = {{TfrmReferenceNoise::ceLeft, "f54be5ecb8e1", "000000000000"},
                         {TfrmReferenceNoise::ceRight, "000000000000", "f54be5ecb8e1"},
                         {TfrmReferenceNoise::ceBoth, "f54be5ecb8e1", "f54be5ecb8e1"}};
  for (const TCase& c : cases) {
    Device.Calls.clear();
    Window().cboChannel.UserSelect(c.Entry);
    Press(Window().btnStart);
    ASSERT_TRUE(Gen->AudioOut1->Active) << c.Entry;
    EXPECT_EQ(Device.Format.nSamplesPerSec, 48000u);
    EXPECT_EQ(Device.Format.nChannels, 2);
    EXPECT_EQ(FirstSamples(0), c.Left) << c.Entry;
    EXPECT_EQ(FirstSamples(1), c.Right) << c.Entry;
    EXPECT_EQ(Window().lblStatus.Caption(), "Playing on " + Window().cboChannel.Text());
    EXPECT_EQ(Gen->LED.BrushColor(), clGreen) << "the main window shows its output on";
    Press(Window().btnStop);
    EXPECT_FALSE(Gen->AudioOut1->Active);
    EXPECT_FALSE(Device.IsOpen);
    EXPECT_EQ(Window().lblStatus.Caption(), "Stopped");
  }
}

TEST_F(ReferenceWindow, TheMeterAndTheDropoutCountShowTheReference) {
  Settings->cboFsList.UserSelect(5);  // 96 kHz: a rate of the standard
  Window().Show();
  EXPECT_EQ(Window().lblRate.Caption(), "Plays at 96 kHz, the output rate");
  Window().cboChannel.UserSelect(TfrmReferenceNoise::ceRight);
  Press(Window().btnStart);
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
  ASSERT_EQ(Device.Format.nChannels, 1);
  Device.Calls.clear();
  Press(Window().btnStart);
  EXPECT_EQ(Device.CountOf("Close"), 1) << "the generator's signal stopped";
  EXPECT_EQ(Device.Format.nChannels, 2);
  EXPECT_EQ(FirstSamples(0, 1), "f54be5");
  StartOutput();
  EXPECT_EQ(Device.CountOf("Close"), 2) << "the reference stopped";
  EXPECT_TRUE(Gen->AudioOut1->Active);
  EXPECT_EQ(Device.Format.nChannels, 1);
  EXPECT_EQ(Window().lblStatus.Caption(), "Stopped");
  EXPECT_FALSE(Window().btnStop.Enabled());
}

}  // namespace
