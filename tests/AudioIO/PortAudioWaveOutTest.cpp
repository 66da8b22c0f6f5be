// The output component on the PortAudio device, end to end: PortAudio plays
// into an ALSA device that the test defines itself (a file PCM over the null
// PCM), and the bytes that reached ALSA are compared with the bytes the fill
// event wrote. The null PCM takes data as fast as it comes, so the device
// thread runs ahead of real time and plays silence whenever its queue is
// empty; comparisons therefore drop silent frames first.

#include "AudioIO/AudioOut.h"
#include "AudioIO/portaudio/PortAudioWaveOut.h"
#include "platform/PlainMessageLoop.h"
#include "tests/fakes/AlsaCaptureDevice.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

class PortAudioWaveOutTest : public ::testing::Test {
protected:
  void SetUp() override {
    device = std::make_unique<TPortAudioWaveOut>();
    const std::optional<uint32_t> id = capture.FindIn(*device);
    ASSERT_TRUE(id) << "PortAudio does not list the test's ALSA device";
    owned = std::make_unique<TAudioOut>(*device, loop);
    AudioOut1 = owned.get();
    AudioOut1->SetWaveDevice(*id);
    AudioOut1->SetOnStart([this](void*) { ++starts; });
    AudioOut1->SetOnStop([this](void*) { ++stops; });
    AudioOut1->SetOnFillBuffer([this](uint8_t* buffer, int32_t& size) { return Fill(buffer, size); });
    SetFormat(16, true, 44100);
  }

  void TearDown() override {
    owned.reset();
    device.reset();
    capture.Clear();
  }

  void SetFormat(uint16_t bits, bool stereo, int32_t rate) {
    AudioOut1->SetStereo(stereo);
    AudioOut1->SetFrameRate(rate);
    AudioOut1->SetQuantization(bits);
    AudioOut1->SetNumBuffers(4);
    AudioOut1->SetBufferSize(4096);
    silence = bits == 8 ? 0x80 : 0;
  }

  /// Bytes 1..100 in turn: never a silent frame, so every written frame can be found in the capture.
  bool Fill(uint8_t* buffer, int32_t size) {
    if (fillsLeft-- <= 0) return false;
    for (int32_t i = 0; i < size; ++i) buffer[i] = static_cast<uint8_t>(1 + generated.size() % 100), generated.push_back(buffer[i]);
    return true;
  }

  /// Processes messages until done() holds; false after five seconds.
  template <typename Condition>
  bool WaitUntil(Condition done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      loop.WaitMessages(10);
    }
    return true;
  }

  bool Start() {
    ++runs;
    return AudioOut1->Start(AudioOut1);
  }
  /// Waits for the stop event of the last run.
  bool WaitForStop() { return WaitUntil([this] { return stops == runs; }); }

  /// The captured bytes without the device's silent frames.
  std::vector<uint8_t> Played() const { return capture.Audible(AudioOut1->WaveFormat().nBlockAlign, silence); }

  TAlsaCaptureDevice capture;  // before the device: ALSA reads its configuration when PortAudio starts
  TPlainMessageLoop loop;
  std::unique_ptr<TPortAudioWaveOut> device;
  std::unique_ptr<TAudioOut> owned;
  TAudioOut* AudioOut1 = nullptr;
  std::vector<uint8_t> generated;
  int fillsLeft = 1 << 30;
  int runs = 0;
  int starts = 0;
  int stops = 0;
  uint8_t silence = 0;
};

TEST_F(PortAudioWaveOutTest, ShortSignalEndingByItselfReachesTheDeviceWholeInEveryFormat) {
  struct TCase {
    uint16_t bits;
    bool stereo;
    int32_t rate;
  };
  for (TCase c : {TCase{16, true, 44100}, TCase{8, false, 22050}, TCase{24, true, 48000}, TCase{24, false, 8000}}) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, stereo " << c.stereo << ", " << c.rate << " Hz");
    SetFormat(c.bits, c.stereo, c.rate);
    generated.clear();
    fillsLeft = 10;
    ASSERT_TRUE(Start()) << AudioOut1->ErrorMessage;
    ASSERT_TRUE(WaitForStop());
    EXPECT_EQ(AudioOut1->FilledBuffers, 10);
    EXPECT_EQ(Played(), generated);
  }
}

TEST_F(PortAudioWaveOutTest, PausedOutputHoldsItsQueueAndGoesOnWhereItStopped) {
  AudioOut1->SetPaused(true);
  ASSERT_TRUE(Start()) << AudioOut1->ErrorMessage;
  loop.Sleep(30);
  loop.ProcessMessages();
  EXPECT_EQ(AudioOut1->ProcessedBuffers, 0);
  EXPECT_EQ(AudioOut1->ElapsedTime(), 0.0);

  AudioOut1->SetPaused(false);
  ASSERT_TRUE(WaitUntil([this] { return AudioOut1->ProcessedBuffers >= 8; }));
  AudioOut1->SetPaused(true);
  loop.Sleep(50);  // a callback already running when the pause came finishes its period
  double pausedAt = AudioOut1->ElapsedTime();
  EXPECT_GT(pausedAt, 0.0);
  loop.Sleep(30);
  loop.ProcessMessages();
  EXPECT_EQ(AudioOut1->ElapsedTime(), pausedAt);

  AudioOut1->SetPaused(false);
  AudioOut1->StopGracefully();
  ASSERT_TRUE(WaitForStop());
  EXPECT_FALSE(AudioOut1->Paused());
  EXPECT_EQ(Played(), generated) << "every filled buffer played once, in order";
}

TEST_F(PortAudioWaveOutTest, StopAtOnceDropsTheQueuedAudioAndTheDevicePlaysAgainAfterwards) {
  constexpr int32_t bufferSize = 65536;  // far more than one period of the device thread
  AudioOut1->SetBufferSize(bufferSize);
  // The null device plays faster than the loop can look, so the fill of the
  // sixth buffer pauses the device itself (from the render thread): that
  // buffer is then still queued (bar the period a running callback may take)
  // when the stop comes.
  std::atomic<int> fills{0};
  std::atomic<bool> devicePaused{false};
  AudioOut1->SetOnFillBuffer([&](uint8_t* buffer, int32_t& size) {
    bool filled = Fill(buffer, size);
    if (++fills == 6) {
      device->Pause(AudioOut1->WaveHandle);
      devicePaused = true;
    }
    return filled;
  });
  ASSERT_TRUE(Start()) << AudioOut1->ErrorMessage;
  ASSERT_TRUE(WaitUntil([&] { return devicePaused.load(); }));
  AudioOut1->StopAtOnce();
  ASSERT_TRUE(WaitForStop());
  std::vector<uint8_t> played = Played();
  ASSERT_LE(played.size() + bufferSize / 2, generated.size()) << "the queued audio was dropped, not played";
  EXPECT_TRUE(std::equal(played.begin(), played.end(), generated.begin())) << "what did play is the start of the signal";

  generated.clear();
  fillsLeft = 5;
  AudioOut1->SetOnFillBuffer([this](uint8_t* buffer, int32_t& size) { return Fill(buffer, size); });
  ASSERT_TRUE(Start()) << AudioOut1->ErrorMessage;
  ASSERT_TRUE(WaitForStop());
  EXPECT_EQ(Played(), generated);
}

TEST_F(PortAudioWaveOutTest, DeviceIdOutsideTheListFailsTheStartWithAClearText) {
  AudioOut1->SetWaveDevice(static_cast<uint32_t>(device->DeviceNames().size()));
  EXPECT_FALSE(Start());
  EXPECT_EQ(AudioOut1->ErrorMessage, "The device identifier is not among the output devices.");
}

TEST_F(PortAudioWaveOutTest, DeviceNamesAreWholeSoThatNamesWithACommonStartStayApart) {
  const std::vector<std::string> names = device->DeviceNames();
  for (const char* name : TAlsaCaptureDevice::LongNames)
    EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
}

TEST_F(PortAudioWaveOutTest, UnplayableFormatIsRefusedByTheDevice) {
  TWaveFormatEx format = AudioOut1->WaveFormat();
  format.wBitsPerSample = 12;
  TWaveHandle handle = 0;
  struct TIgnore final : TWaveOutTarget {
    void WomOpen() override {}
    void WomClose() override {}
  } target;
  EXPECT_EQ(device->Open(handle, AudioOut1->WaveDevice(), format, 4096, target, {}), WAVERR_BADFORMAT);
}

/// Records the notifications a device delivers.
struct TRecordingTarget final : TWaveOutTarget {
  void WomOpen() override { Notes += "open "; }
  void WomClose() override { Notes += "close "; }
  std::string Notes;
};

PaError FailToStart(PaStream*) { return paDeviceUnavailable; }

TEST(PortAudioStartFailure, TheWriteThatCannotStartTheStreamLeavesNothingQueuedAndTheCloseCompletes) {
  TAlsaCaptureDevice capture;
  TPlainMessageLoop loop;
  TPortAudioWaveOut device(&FailToStart);
  loop.AddSource(device);
  const std::optional<uint32_t> id = capture.FindIn(device);
  ASSERT_TRUE(id) << "PortAudio does not list the test's ALSA device";
  TRecordingTarget target;
  TWaveFormatEx format{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
  std::vector<uint8_t> data(4096, 7);
  TWaveHdr header;
  header.lpData = data.data();
  header.dwBufferLength = static_cast<uint32_t>(data.size());

  TWaveHandle handle = 0;
  ASSERT_EQ(device.Open(handle, *id, format, 4096, target, {}), MMSYSERR_NOERROR);
  ASSERT_EQ(device.Prepare(handle, header), MMSYSERR_NOERROR);
  const TMMResult result = device.Write(handle, header);
  EXPECT_NE(result, MMSYSERR_NOERROR);
  EXPECT_EQ(device.ErrorText(result), Pa_GetErrorText(paDeviceUnavailable));
  EXPECT_FALSE(header.dwFlags & WHDR_INQUEUE) << "the failed buffer is taken back";
  EXPECT_EQ(device.TakeReturned(handle), nullptr) << "no buffer comes back that never played";
  EXPECT_EQ(device.Unprepare(handle, header), MMSYSERR_NOERROR);
  EXPECT_EQ(device.Close(handle), MMSYSERR_NOERROR) << "nothing is left queued";
  loop.ProcessMessages();
  EXPECT_EQ(target.Notes, "open close ");
  EXPECT_EQ(device.Open(handle, *id, format, 4096, target, {}), MMSYSERR_NOERROR) << "the device is free again";
  EXPECT_EQ(device.Close(handle), MMSYSERR_NOERROR);
  loop.RemoveSource(device);
}

// A configuration with a device ALSA cannot open: listing the devices must
// not write ALSA's (or JACK's) complaints on stderr, but an error after the
// listing still reaches stderr, and no JACK setting leaks to child programs.
TEST(PortAudioQuietProbe, ListingTheDevicesWritesNothingOnStderrAndLaterErrorsStillDo) {
  const std::filesystem::path config =
      std::filesystem::temp_directory_path() / ("zephyra-quiet-" + std::to_string(getpid()) + ".conf");
  std::ofstream(config) << "pcm.zephyra_working { type null }\n"
                        << "pcm.zephyra_broken { type zephyra_no_such_plugin }\n";
  const std::string previous = std::getenv("ALSA_CONFIG_PATH") ? std::getenv("ALSA_CONFIG_PATH") : "";
  setenv("ALSA_CONFIG_PATH", config.c_str(), 1);

  testing::internal::CaptureStderr();
  std::vector<std::string> names;
  {
    TPortAudioWaveOut device;
    names = device.DeviceNames();
  }
  const std::string probing = testing::internal::GetCapturedStderr();
  testing::internal::CaptureStderr();
  snd_pcm_t* pcm = nullptr;
  EXPECT_LT(snd_pcm_open(&pcm, "zephyra_broken", SND_PCM_STREAM_PLAYBACK, 0), 0);
  const std::string later = testing::internal::GetCapturedStderr();

  EXPECT_EQ(probing, "");
  EXPECT_NE(std::find(names.begin(), names.end(), "zephyra_working"), names.end()) << "the devices are still listed";
  EXPECT_NE(later.find("zephyra_no_such_plugin"), std::string::npos) << later;
  EXPECT_EQ(std::getenv("JACK_NO_START_SERVER"), nullptr);
  if (previous.empty())
    unsetenv("ALSA_CONFIG_PATH");
  else
    setenv("ALSA_CONFIG_PATH", previous.c_str(), 1);
  std::filesystem::remove(config);
}

}  // namespace

// Chosen outputs on a device with many outputs (the file device takes as
// many as asked for, up to the most the program offers): the stream opens
// all of them, each sample lands whole and in its byte order on its output,
// and the other outputs carry silence.
TEST(PortAudioOutputs, TheChannelsLandOnTheChosenOutputsOfAMultichannelDeviceAndTheOthersAreSilent) {
  TAlsaCaptureDevice capture;
  TPlainMessageLoop loop;
  TPortAudioWaveOut device;
  const std::optional<uint32_t> id = capture.FindIn(device);
  ASSERT_TRUE(id) << "PortAudio does not list the test's four-channel device";
  const std::vector<std::string> names = device.ChannelNames(*id);
  ASSERT_GE(names.size(), 4u);
  EXPECT_EQ(names[3], "4");
  const size_t outputs = names.size();
  struct TCase {
    uint16_t bits;
    bool stereo;
    TOutputChannels outputs;
  };
  for (TCase c : {TCase{24, true, {4, 2}}, TCase{16, true, {3, 4}}, TCase{8, false, {3, 0}}}) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, Left on " << c.outputs.Left << ", Right on " << c.outputs.Right);
    capture.Clear();
    TAudioOut out(device, loop);
    TAudioOut* AudioOut1 = &out;
    out.SetWaveDevice(*id);
    out.SetStereo(c.stereo);
    out.SetFrameRate(48000);
    out.SetQuantization(c.bits);
    out.SetNumBuffers(4);
    out.SetBufferSize(4096);
    out.SetOutputChannels(c.outputs);
    std::vector<uint8_t> generated;
    int fills = 6;
    out.SetOnFillBuffer([&](uint8_t* buffer, int32_t& size) {
      if (fills-- <= 0) return false;
      for (int32_t i = 0; i < size; ++i) buffer[i] = static_cast<uint8_t>(1 + generated.size() % 100), generated.push_back(buffer[i]);
      return true;
    });
    bool stopped = false;
    out.SetOnStop([&](void*) { stopped = true; });
    ASSERT_TRUE(out.Start(AudioOut1)) << out.ErrorMessage;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!stopped && std::chrono::steady_clock::now() < deadline) loop.WaitMessages(10);
    ASSERT_TRUE(stopped);

    const size_t sample = c.bits / 8, streamFrame = sample * (c.stereo ? 2 : 1);
    const uint8_t silence = c.bits == 8 ? 0x80 : 0;
    std::vector<uint8_t> expected;
    for (size_t at = 0; at + streamFrame <= generated.size(); at += streamFrame) {
      std::vector<uint8_t> frame(outputs * sample, silence);
      std::copy_n(generated.begin() + at, sample, frame.begin() + (c.outputs.Left - 1) * sample);
      if (c.stereo) std::copy_n(generated.begin() + at + sample, sample, frame.begin() + (c.outputs.Right - 1) * sample);
      expected.insert(expected.end(), frame.begin(), frame.end());
    }
    EXPECT_EQ(capture.Audible(outputs * sample, silence), expected);
  }
}
