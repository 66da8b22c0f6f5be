// The two channels on chosen outputs of a 7.1 sink of a real sound server
// that the test starts itself: the sink's monitor, recorded with the sink's
// own channel map, has the exact samples on the chosen outputs and silence
// on the six others (the server neither spreads nor remixes them).

#include "AudioIO/AudioOut.h"
#include "AudioIO/pulse/PulseWaveOut.h"
#include "platform/PlainMessageLoop.h"
#include "tests/fakes/SoundServer.h"
#include "tests/persistence/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

constexpr uint32_t Rate = 48000;
constexpr const char* SevenOneMap =
    "front-left,front-right,front-center,lfe,rear-left,rear-right,side-left,side-right";

int16_t LeftSample(size_t frame) { return static_cast<int16_t>(1000 + frame % 20000); }
int16_t RightSample(size_t frame) { return static_cast<int16_t>(-1000 - static_cast<int>(frame % 20000)); }

TEST(ServerOutputChannels, LeftAndRightOnOutputsFiveAndSixOfASevenOneSinkAndSilenceOnEveryOther) {
  TSoundServer server(TSoundServer::TKind::PulseAudio, Rate);
  if (!server.Running()) GTEST_SKIP() << server.Why();
  server.Pactl(std::string("load-module module-null-sink sink_name=z71 "
                           "sink_properties=device.description=Zephyra-71 rate=48000 channels=8 channel_map=") +
               SevenOneMap);
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
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!stopped && std::chrono::steady_clock::now() < deadline) loop.WaitMessages(10);
  ASSERT_TRUE(stopped);
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

}  // namespace
