// The output in time: a device that plays each buffer at the real rate, as
// a sound card does, while the GUI thread sleeps through a script's waits.
// 192 kHz stereo 24-bit with the default four 16384-byte buffers holds 57 ms
// of sound, less than one 100 ms wait, yet enough that a busy test machine
// delaying the render thread by a few milliseconds is no gap.

#include "persistence/PresetFile.h"
#include "tests/app/GeneratorFixture.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/persistence/TempDir.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr uint32_t Seed = 0x13572468;

class RealTimeOutput : public GeneratorFixture {
protected:
  void SetUp() override {
    GeneratorFixture::SetUp();
    Settings->cboFsList.UserSelect(6);      // 192000
    Settings->cboQuant.UserSelect(1);       // 24
    Settings->cboBuffers.UserSelect(2);     // 4
    Settings->cboBufferSize.UserSelect(2);  // 16384
    Gen->cboChannels.UserSelect(cmStereo);
    Gen->Loop.SetChecked(false);
    Enter(Gen->Duration, "0.6");
    Gen->MemStore(1);
    SavePresetFile(Presets, Gen->Presets);
    Loop.OnSleep = [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); };
    Device.PlayInRealTime();
  }

  int RunBatch(const std::string& script) {
    const std::string path = Dir.File("play.zes");
    WriteBytes(path, std::vector<uint8_t>(script.begin(), script.end()));
    return Gen->RunBatchScript(path);
  }

  /// Memory 1 rendered in one fill from the seed and the pink rows of a new
  /// window, as the play line prepares it.
  std::vector<uint8_t> Rendered() {
    Gen->State.random.Seed(Seed);
    std::fill(std::begin(Gen->State.pinkRows), std::end(Gen->State.pinkRows), 0.0f);
    Gen->MemRecall(1);
    Gen->Loop.SetChecked(false);
    Gen->Preparevariables();
    return WholeSignal(Gen->State);
  }

  TTempDir Dir;
  const std::string Presets = Dir.File("realtime.zep");
};

TEST_F(RealTimeOutput, AScriptPlayWhoseWaitsSleepOnTheGuiThreadPlaysWithoutAGap) {
  Gen->State.random.Seed(Seed);
  EXPECT_EQ(RunBatch("play 1 " + Presets + "\nend\n"), 0);

  const std::vector<uint8_t> played = Device.PlayedBytes();
  const std::vector<uint8_t> rendered = Rendered();
  ASSERT_GE(played.size(), rendered.size());
  const auto firstDifference = std::mismatch(rendered.begin(), rendered.end(), played.begin()).first;
  EXPECT_TRUE(firstDifference == rendered.end())
      << "the device played something else (a gap) from byte " << firstDifference - rendered.begin() << " of "
      << rendered.size();
  EXPECT_EQ(Gen->AudioOut1->Dropouts().Count, 0) << "the drain after the end is no dropout";
  EXPECT_EQ(Gen->lblDropouts.Caption(), "Dropouts: 0");
}

TEST_F(RealTimeOutput, APauseAndAStopCountNoDropoutAGapCountsAndShows) {
  Gen->Loop.SetChecked(true);
  StartOutput();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  Gen->btnPause.Click();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  Gen->btnPause.Click();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  Loop.ProcessMessages();
  EXPECT_EQ(Gen->lblDropouts.Caption(), "Dropouts: 0");
  EXPECT_EQ(Gen->lblDropouts.Font().Color, clWindowText);

  Device.Starve(1920);  // 10 ms in which the ring had run empty
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  Loop.ProcessMessages();
  EXPECT_EQ(Gen->lblDropouts.Caption(), "Dropouts: 1");
  EXPECT_EQ(Gen->lblDropouts.Font().Color, clRed);
  EXPECT_DOUBLE_EQ(Gen->AudioOut1->Dropouts().Milliseconds, 10.0);

  Gen->btnOFF.Click();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the device would play its empty queue now
  Loop.ProcessMessages();
  EXPECT_EQ(Gen->AudioOut1->Dropouts().Count, 1) << "the silence after a stop is no dropout";
}

TEST_F(RealTimeOutput, ABatchRunWithADropoutReportsItAndExitsWithFour) {
  Loop.OnSleep = [this] {
    if (Loop.SleepCount == 2) Device.Starve(960);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  };
  testing::internal::CaptureStderr();
  const int status = RunBatch("play 1 " + Presets + "\nend\n");
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 4);
  EXPECT_NE(log.find("Line 1: the output of play " + Presets + " had 1 dropout, 5 ms of silence"),
            std::string::npos)
      << log;
}

}  // namespace
