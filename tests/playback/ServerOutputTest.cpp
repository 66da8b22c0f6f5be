// The window on the sound server's back-end, against a real server the test
// starts itself (PulseAudio, and PipeWire where it installs): play, pause
// and stop; the default sink changing; the sink removed and the server
// killed while playing (lost, shown, back, heard again); and the dropouts the
// window counts against the silences in a recording of the sink's monitor.

#include "AudioIO/pulse/PulseWaveOut.h"
#include "app/Application.h"
#include "app/frmGenerator.h"
#include "persistence/MemorySettingsStore.h"
#include "platform/Clock.h"
#include "platform/PlainMessageLoop.h"
#include "playback/frmSettings.h"
#include "sync/GeneratorStatus.h"
#include "tests/fakes/FakeDialogs.h"
#include "tests/fakes/FakeShell.h"
#include "tests/fakes/RunLoopUntil.h"
#include "tests/fakes/SoundServer.h"
#include "tests/persistence/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace {

constexpr uint32_t Rate = 48000;
constexpr int32_t Rate48000 = 4, Width16 = 0, Buffer8192 = 1;  // entries of the output settings' lists
constexpr int64_t BufferFrames = 8192 / 4;  // 16-bit stereo
constexpr double BufferMs = BufferFrames * 1000.0 / Rate;
constexpr int64_t GapFrames = Rate / 500;  // 2 ms of zeros: never inside noise at -6 dB

using TKind = TSoundServer::TKind;

class ServerOutput : public ::testing::TestWithParam<TKind> {
protected:
  void SetUp() override {
    Server = std::make_unique<TSoundServer>(GetParam(), Rate);
    if (!Server->Running()) GTEST_SKIP() << Server->Why();
    Device = TPulseWaveOut::Connect();
    ASSERT_TRUE(Device) << "the server does not answer libpulse";
    Gen = std::make_unique<TfrmGenerator>(
        TGeneratorServices{App, Loop, Dialogs, Shell, Clock, *Device, Store, TNumberFormat{'.'}});
    Settings = std::make_unique<TfrmSettings>(*Gen, Shell);
    Settings->cboFsList.UserSelect(Rate48000);
    Settings->cboQuant.UserSelect(Width16);
    Settings->cboBufferSize.UserSelect(Buffer8192);
    Gen->cboChannels.UserSelect(cmStereo);
    Gen->WaveFormLeft.UserSelect(ntWhite);
    Gen->WaveFormRight.UserSelect(ntWhite);
    Gen->Loop.SetChecked(true);
  }
  void TearDown() override {
    if (Gen) Gen->AudioOut1->StopAtOnce();
  }

  /// Handles messages until done() or seconds have passed; false on the time limit.
  bool RunUntil(const std::function<bool()>& done, double seconds) { return RunLoopUntil(Loop, done, seconds); }
  void RunFor(double seconds) { RunLoopFor(Loop, seconds); }
  /// The output has stopped and the window has heard of it.
  bool Stopped() {
    return RunUntil([&] { return !Gen->AudioOut1->Rendering() && Gen->LED.BrushColor() == clMaroon; }, 5);
  }
  void ChooseDevice(const std::string& description) {
    const auto& items = Gen->WaveDevice.Items();
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i] == description) return Gen->WaveDevice.UserSelect(static_cast<int32_t>(i));
    ADD_FAILURE() << description << " is not in the device list";
  }
  /// Loses the device by lose(), checks what the window shows, brings it back by restore() and
  /// checks that the sound goes on and that the loss is one dropout of its length.
  void LoseAndRestore(const std::function<void()>& lose, const std::function<void()>& restore) {
    Gen->btnON.Click();
    RunFor(0.5);
    ASSERT_TRUE(Gen->AudioOut1->Active);
    lose();
    ASSERT_TRUE(RunUntil([&] { return Gen->AudioOut1->DeviceLost(); }, 3)) << "the loss is noticed";
    EXPECT_EQ(Gen->LED.BrushColor(), clAmber);
    EXPECT_EQ(Gen->lblDropouts.Caption().rfind("Device lost at ", 0), 0u) << Gen->lblDropouts.Caption();
    EXPECT_TRUE(Gen->Status().DeviceLost);
    RunFor(1.0);
    EXPECT_TRUE(Gen->AudioOut1->Active) << "a lost device leaves the output on";
    restore();
    TMonitorRecording recording(Dir.File("after.raw"), Rate);
    ASSERT_TRUE(RunUntil([&] { return !Gen->AudioOut1->DeviceLost(); }, 8)) << "the device is back";
    RunFor(0.6);
    EXPECT_EQ(Gen->LED.BrushColor(), clGreen);
    EXPECT_FALSE(Gen->Status().DeviceLost);
    const TDropouts dropouts = Gen->AudioOut1->Dropouts();
    EXPECT_GE(dropouts.Count, 1);
    EXPECT_GE(dropouts.Milliseconds, 1000) << "the time lost is a dropout";
    Gen->btnOFF.Click();
    EXPECT_TRUE(Stopped());
    EXPECT_GT(GapsIn(recording.Stop(), Rate, GapFrames).SoundFrames, Rate / 4) << "sound after the return";
  }

  std::unique_ptr<TSoundServer> Server;
  TPlainMessageLoop Loop;
  std::unique_ptr<TPulseWaveOut> Device;
  TSteadyClock Clock;
  TFakeDialogs Dialogs;
  TFakeShell Shell;
  TMemorySettingsStore Store;
  TApplication App{Dialogs};
  TTempDir Dir;
  std::unique_ptr<TfrmGenerator> Gen;
  std::unique_ptr<TfrmSettings> Settings;
};

TEST_P(ServerOutput, PlaysPausesAndStopsAndTheRecordingHasEveryGapItCounts) {
  TMonitorRecording recording(Dir.File("rec.raw"), Rate);
  ChooseDevice(Server->SinkDescription());
  // The render thread held back now and then: the ring runs dry, as on a starved machine.
  std::atomic<int> holdMs{0};
  const TBufferEvent fill = Gen->AudioOut1->OnFillBuffer();
  Gen->AudioOut1->SetOnFillBuffer([&, fill](uint8_t* b, int32_t& n) {
    if (const int ms = holdMs.exchange(0)) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return fill(b, n);
  });
  Gen->btnON.Click();
  ASSERT_TRUE(RunUntil([&] { return Gen->AudioOut1->ProcessedBuffers > 8; }, 3));
  EXPECT_EQ(Device->CurrentSink(), "zsink");
  EXPECT_EQ(Gen->LED.BrushColor(), clGreen);
  for (int ms : {600, 900}) {
    holdMs = ms;
    RunFor(1.5);
  }
  Gen->btnPause.Click();
  RunFor(0.5);
  Gen->btnPause.Click();
  RunFor(0.5);
  Gen->btnOFF.Click();
  ASSERT_TRUE(Stopped());
  const TDropouts counted = Gen->AudioOut1->Dropouts();
  const std::vector<int16_t> recorded = recording.Stop();
  const TRecordedGaps heard = GapsIn(recorded, Rate, GapFrames);
  EXPECT_GE(counted.Count, 2) << "each hold empties the ring";
  // PipeWire's PulseAudio service now and then plays a short silence it
  // reports no underflow for, several on a busy machine: there only the
  // silences of a buffer or more must all be counted.
  const bool pipeWire = GetParam() == TKind::PipeWire;
  const int64_t unreported = pipeWire ? 1 : 0;
  const TRecordedGaps mustCount = pipeWire ? GapsIn(recorded, Rate, BufferFrames) : heard;
  EXPECT_LE(mustCount.Count, counted.Count + 1)
      << "every silence counted, the pause not: heard " << heard.Count << " (" << heard.Milliseconds
      << " ms), counted " << counted.Count << " (" << counted.Milliseconds << " ms)";
  EXPECT_GE(heard.Count, counted.Count + 1) << "no silence counted that was not heard";
  // The pause is no dropout: the recording's total without it (0.5 s, within one buffer).
  EXPECT_NEAR(heard.Milliseconds - 500, counted.Milliseconds, (counted.Count + 1 + unreported) * BufferMs);
}

TEST_P(ServerOutput, TheElapsedTimeComesFromTheServersClock) {
  // The stream asks the server for its timing itself: without that the position stays 0.
  const auto start = std::chrono::steady_clock::now();
  Gen->btnON.Click();
  ASSERT_TRUE(RunUntil([&] { return Gen->AudioOut1->ElapsedTime() > 0.3; }, 3)) << "the position moves";
  const std::chrono::duration<double> passed = std::chrono::steady_clock::now() - start;
  EXPECT_LE(Gen->AudioOut1->ElapsedTime(), passed.count() + 0.05) << "never ahead of the clock";
}

TEST_P(ServerOutput, SystemDefaultFollowsTheServersDefaultSink) {
  Server->Pactl("load-module module-null-sink sink_name=zother");
  Gen->WaveDevice.UserSelect(0);
  Gen->btnON.Click();
  ASSERT_TRUE(RunUntil([&] { return Device->CurrentSink() == "zsink"; }, 3));
  Server->Pactl("set-default-sink zother");
  EXPECT_TRUE(RunUntil([&] { return Device->CurrentSink() == "zother"; }, 3));
  EXPECT_FALSE(Gen->AudioOut1->DeviceLost());
}

TEST_P(ServerOutput, ARemovedSinkIsShownAsLostAndPlaysAgainWhenItReturns) {
  ChooseDevice(Server->SinkDescription());
  LoseAndRestore([&] { Server->RemoveSink(); }, [&] { Server->AddSink(); });
}

TEST_P(ServerOutput, AKilledServerIsShownAsLostAndPlaysAgainWhenItRestarts) {
  Gen->WaveDevice.UserSelect(0);
  LoseAndRestore([&] { Server->Kill(); }, [&] { ASSERT_TRUE(Server->Start()); });
}

TEST_P(ServerOutput, OffWhileLostStopsCleanly) {
  ChooseDevice(Server->SinkDescription());
  Gen->btnON.Click();
  RunFor(0.3);
  Server->RemoveSink();
  ASSERT_TRUE(RunUntil([&] { return Gen->AudioOut1->DeviceLost(); }, 3));
  Gen->btnOFF.Click();
  EXPECT_TRUE(Stopped());
  EXPECT_EQ(Gen->LED.BrushColor(), clMaroon);
  EXPECT_FALSE(Gen->Status().DeviceLost);
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerOutput, ::testing::Values(TKind::PulseAudio, TKind::PipeWire),
                         [](const auto& server) { return server.param == TKind::PulseAudio ? "PulseAudio" : "PipeWire"; });

}  // namespace
