// A device that stops giving buffers back while playing (a driver that
// hangs, a stream the sound library no longer calls) is lost, not stopped:
// the window shows it, keeps the output on and takes the device back when it
// plays again, the time lost one dropout; a script play gives up on it.
// The device plays in real time, as a sound card does.

#include "persistence/PresetFile.h"
#include "sync/GeneratorStatus.h"
#include "tests/app/GeneratorFixture.h"
#include "tests/persistence/TempDir.h"

#include <chrono>
#include <regex>
#include <thread>

namespace {

class LostDevice : public GeneratorFixture {
protected:
  void SetUp() override {
    GeneratorFixture::SetUp();
    Settings->cboFsList.UserSelect(4);      // 48000
    Settings->cboBuffers.UserSelect(2);     // 4
    Settings->cboBufferSize.UserSelect(0);  // 4096 bytes: 21 ms in 16-bit stereo
    Gen->cboChannels.UserSelect(cmStereo);
    Loop.OnSleep = [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); };
    Device.PlayInRealTime();
  }
  /// Processes messages for about ms of real time.
  void Wait(int ms) {
    for (int i = 0; i < ms / 10; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      Loop.ProcessMessages();
    }
  }

  TTempDir Dir;
};

TEST_F(LostDevice, AHungDeviceIsShownLostAndItsReturnIsOneDropoutOfItsLength) {
  Gen->Loop.SetChecked(true);
  StartOutput();
  Wait(200);
  ASSERT_EQ(Gen->AudioOut1->Dropouts().Count, 0);
  Device.Hung = true;
  Wait(1500);  // beyond four buffer times (85 ms) and the second a device at least has
  EXPECT_TRUE(Gen->AudioOut1->DeviceLost());
  EXPECT_TRUE(Gen->AudioOut1->Active) << "lost, not stopped";
  EXPECT_EQ(Gen->LED.BrushColor(), clAmber);
  EXPECT_TRUE(std::regex_match(Gen->lblDropouts.Caption(),
                               std::regex("Device lost at \\d\\d:\\d\\d:\\d\\d, waiting for it")))
      << Gen->lblDropouts.Caption();
  EXPECT_TRUE(Gen->Status().DeviceLost);
  Device.Hung = false;
  Wait(200);
  EXPECT_FALSE(Gen->AudioOut1->DeviceLost());
  EXPECT_EQ(Gen->LED.BrushColor(), clGreen);
  const TDropouts dropouts = Gen->AudioOut1->Dropouts();
  EXPECT_EQ(dropouts.Count, 1);
  EXPECT_NEAR(dropouts.Milliseconds, 1500, 250) << "the time the device played nothing";
  EXPECT_EQ(Gen->lblDropouts.Caption(), "Dropouts: 1");
  Gen->btnOFF.Click();
  Wait(100);
  EXPECT_FALSE(Gen->AudioOut1->Active);
}

TEST_F(LostDevice, APausedOrStoppedDeviceIsNotLost) {
  Gen->Loop.SetChecked(true);
  StartOutput();
  Wait(100);
  Gen->btnPause.Click();
  Wait(1300);
  EXPECT_FALSE(Gen->AudioOut1->DeviceLost()) << "a paused device gives nothing back";
  Gen->btnPause.Click();
  Wait(100);
  Device.Hung = true;
  Gen->btnOFF.Click();
  Wait(1300);
  EXPECT_FALSE(Gen->AudioOut1->DeviceLost());
  EXPECT_FALSE(Gen->AudioOut1->Active) << "OFF while the device hangs stops cleanly";
  EXPECT_EQ(Gen->AudioOut1->Dropouts().Count, 0);
}

TEST_F(LostDevice, AScriptPlayWhoseDeviceDoesNotReturnEndsWithTheLossAndStatusFour) {
  Gen->Loop.SetChecked(false);
  Enter(Gen->Duration, "20");
  Gen->MemStore(1);
  const std::string presets = Dir.File("long.zep");
  SavePresetFile(presets, Gen->Presets);
  const std::string script = Dir.File("lost.zes");
  const std::string text = "play 1 " + presets + "\nplay 1 " + presets + "\nend\n";
  WriteBytes(script, std::vector<uint8_t>(text.begin(), text.end()));
  Gen->SetScriptDeviceWaitMs(1000);
  Loop.OnSleep = [this] {
    if (Loop.SleepCount == 3) Device.Hung = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  };
  testing::internal::CaptureStderr();
  const auto started = std::chrono::steady_clock::now();
  const int status = Gen->RunBatchScript(script);
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 4);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10)) << "the play gave up";
  EXPECT_TRUE(std::regex_search(log, std::regex("Line 1: the output device was lost at \\d\\d:\\d\\d:\\d\\d and "
                                                "did not return\n")))
      << log;
  EXPECT_EQ(log.find("Line 2"), std::string::npos) << "the script ends with the loss";
  EXPECT_FALSE(Gen->AudioOut1->Active);
}

}  // namespace
