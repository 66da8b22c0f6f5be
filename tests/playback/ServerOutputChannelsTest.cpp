// The two channels on chosen outputs of a 7.1 sink of a real sound server
// that the test starts itself: the sink's monitor, recorded with the sink's
// own channel map, has the exact samples on the chosen outputs and silence
// on the six others (the server neither spreads nor remixes them).

#include "AudioIO/AudioOut.h"
#include "AudioIO/pulse/PulseWaveOut.h"
#include "app/Application.h"
#include "app/frmGenerator.h"
#include "persistence/MemorySettingsStore.h"
#include "platform/Clock.h"
#include "platform/PlainMessageLoop.h"
#include "playback/frmReferenceNoise.h"
#include "playback/frmSettings.h"
#include "tests/fakes/FakeDialogs.h"
#include "tests/fakes/FakeShell.h"
#include "tests/fakes/RunLoopUntil.h"
#include "tests/fakes/SoundServer.h"
#include "tests/persistence/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

namespace {

constexpr uint32_t Rate = 48000;
constexpr const char* SevenOneMap =
    "front-left,front-right,front-center,lfe,rear-left,rear-right,side-left,side-right";

// A null sink "Zephyra-71" of eight outputs in the 7.1 order.
void LoadSevenOneSink(TSoundServer& server) {
  server.Pactl(std::string("load-module module-null-sink sink_name=z71 "
                           "sink_properties=device.description=Zephyra-71 rate=48000 channels=8 channel_map=") +
               SevenOneMap);
}

int16_t LeftSample(size_t frame) { return static_cast<int16_t>(1000 + frame % 20000); }
int16_t RightSample(size_t frame) { return static_cast<int16_t>(-1000 - static_cast<int>(frame % 20000)); }

TEST(ServerOutputChannels, LeftAndRightOnOutputsFiveAndSixOfASevenOneSinkAndSilenceOnEveryOther) {
  TSoundServer server(TSoundServer::TKind::PulseAudio, Rate);
  if (!server.Running()) GTEST_SKIP() << server.Why();
  LoadSevenOneSink(server);
  auto device = TPulseWaveOut::Connect();
  ASSERT_TRUE(device);
  const std::vector<std::string> names = device->DeviceNames();
  const auto found = std::find(names.begin(), names.end(), "Zephyra-71");
  ASSERT_NE(found, names.end());
  const auto id = static_cast<uint32_t>(found - names.begin());
  EXPECT_EQ(device->ChannelNames(id), (std::vector<std::string>{"Front Left", "Front Right", "Centre", "LFE",
                                                                "Rear Left", "Rear Right", "Side Left", "Side Right"}));

  TPlainMessageLoop loop;
  TAudioOut out(*device, loop);
  TAudioOut* AudioOut1 = &out;
  out.SetWaveDevice(id);
  out.SetStereo(true);
  out.SetFrameRate(Rate);
  out.SetQuantization(16);
  out.SetNumBuffers(4);
  out.SetBufferSize(8192);
  out.SetOutputChannels({5, 6});
  size_t frame = 0;
  int fills = 12;
  out.SetOnFillBuffer([&](uint8_t* buffer, int32_t& size) {
    if (fills-- <= 0) return false;
    auto* samples = reinterpret_cast<int16_t*>(buffer);
    for (int32_t i = 0; i < size / 4; ++i, ++frame) samples[2 * i] = LeftSample(frame), samples[2 * i + 1] = RightSample(frame);
    return true;
  });
  bool stopped = false;
  out.SetOnStop([&](void*) { stopped = true; });

  TTempDir dir;
  TMonitorRecording recording(dir.File("z71.raw"), Rate, "z71.monitor", SevenOneMap);
  loop.Sleep(300);  // the recording runs before the first sample
  ASSERT_TRUE(out.Start(AudioOut1)) << out.ErrorMessage;
  ASSERT_TRUE(RunLoopUntil(loop, [&] { return stopped; }, 10));
  loop.Sleep(300);
  const std::vector<int16_t> recorded = recording.Stop();

  std::vector<int16_t> onFive, onSix;
  size_t elsewhere = 0;
  for (size_t f = 0; f + 8 <= recorded.size(); f += 8) {
    for (size_t c : {0, 1, 2, 3, 6, 7}) elsewhere += recorded[f + c] != 0;
    if (recorded[f + 4] != 0 || recorded[f + 5] != 0) onFive.push_back(recorded[f + 4]), onSix.push_back(recorded[f + 5]);
  }
  EXPECT_EQ(elsewhere, 0u) << "samples on outputs other than 5 and 6";
  // A sink that was idle may take the stream's first moment (20 ms here)
  // before its monitor hears it; from there on every frame arrives, in order.
  ASSERT_LE(onFive.size(), frame);
  const size_t from = frame - onFive.size();
  ASSERT_LE(from, Rate / 10) << "more than the start is missing";
  for (size_t f = 0; f < onFive.size(); ++f) {
    ASSERT_EQ(onFive[f], LeftSample(from + f)) << "frame " << from + f;
    ASSERT_EQ(onSix[f], RightSample(from + f)) << "frame " << from + f;
  }
}

// The Reference Noise window stepping through the outputs of the 7.1 sink:
// the recording has the noise on one output at a time, in order.
TEST(ServerOutputChannels, TheReferenceStepsFromOutputToOutputInOrder) {
  TSoundServer server(TSoundServer::TKind::PulseAudio, Rate);
  if (!server.Running()) GTEST_SKIP() << server.Why();
  LoadSevenOneSink(server);
  auto device = TPulseWaveOut::Connect();
  ASSERT_TRUE(device);
  TPlainMessageLoop loop;
  TSteadyClock clock;
  TFakeDialogs dialogs;
  TFakeShell shell;
  TMemorySettingsStore store;
  TApplication app{dialogs};
  TfrmGenerator gen(TGeneratorServices{app, loop, dialogs, shell, clock, *device, store, TNumberFormat{'.'}});
  TfrmSettings settings(gen, shell);
  const auto& items = gen.WaveDevice.Items();
  const auto found = std::find(items.begin(), items.end(), "Zephyra-71 (8 outputs)");
  ASSERT_NE(found, items.end());
  gen.WaveDevice.UserSelect(static_cast<int32_t>(found - items.begin()));
  settings.cboQuant.UserSelect(0);       // 16 bits, as the recording
  settings.cboBufferSize.UserSelect(0);  // a short ring, so that each output is heard within its time
  settings.cboBuffers.UserSelect(0);
  gen.ReferenceNoise1.Click();
  TfrmReferenceNoise& window = gen.ReferenceNoise();

  TTempDir dir;
  TMonitorRecording recording(dir.File("steps.raw"), Rate, "z71.monitor", SevenOneMap);
  // The recorder hears the sink once it writes its file.
  for (int wait = 0; wait < 100 && !(std::filesystem::exists(dir.File("steps.raw")) &&
                                     std::filesystem::file_size(dir.File("steps.raw")) > 0); ++wait)
    loop.Sleep(50);
  window.chkStepAll.SetChecked(true);
  window.btnStart.Click();
  for (int step = 0; step < 3; ++step) {
    RunLoopFor(loop, 0.6);
    window.btnNext.Click();
  }
  RunLoopFor(loop, 0.6);
  window.btnStop.Click();
  loop.Sleep(200);
  const std::vector<int16_t> recorded = recording.Stop();

  std::vector<int> order;
  size_t together = 0;
  for (size_t f = 0; f + 8 <= recorded.size(); f += 8) {
    int sounding = -1, count = 0;
    for (int c = 0; c < 8; ++c)
      if (recorded[f + c] != 0) sounding = c, ++count;
    together += count > 1;
    if (count == 1 && (order.empty() || order.back() != sounding)) order.push_back(sounding);
  }
  EXPECT_EQ(together, 0u) << "frames with noise on more than one output";
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3})) << "Front Left, Front Right, Centre, LFE in turn";
}

}  // namespace
