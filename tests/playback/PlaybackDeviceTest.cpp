// ON end to end: the main window on the PortAudio device and the plain message
// loop plays into an ALSA device the test defines itself, and the bytes that
// reached the device are compared with what the engine renders for the same
// settings and seed. The device plays silence whenever its queue runs empty,
// so both sides are compared without their silent frames.

#include "AudioIO/portaudio/PortAudioWaveOut.h"
#include "app/Application.h"
#include "app/frmGenerator.h"
#include "engine/Render.h"
#include "persistence/MemorySettingsStore.h"
#include "platform/Clock.h"
#include "platform/PlainMessageLoop.h"
#include "playback/frmSettings.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/fakes/AlsaCaptureDevice.h"
#include "tests/fakes/FakeDialogs.h"
#include "tests/fakes/FakeShell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr uint32_t Seed = 0x2468ace1;

/// Set by a test: the next stream start fails the way a device that cannot start fails.
bool FailNextStart = false;

PaError StartStream(PaStream* stream) {
  if (std::exchange(FailNextStart, false)) return paDeviceUnavailable;
  return Pa_StartStream(stream);
}

class PlaybackOnDevice : public ::testing::Test {
protected:
  void SetUp() override {
    Gen = std::make_unique<TfrmGenerator>(
        TGeneratorServices{App, Loop, Dialogs, Shell, Clock, Device, Store, TNumberFormat{'.'}});
    Settings = std::make_unique<TfrmSettings>(*Gen, Shell);
    const std::optional<uint32_t> id = Capture.FindIn(Device);
    ASSERT_TRUE(id) << "PortAudio does not list the test's ALSA device";
    Gen->WaveDevice.UserSelect(static_cast<int32_t>(*id) + 1);  // entry 0 is the default output
    const TNotifyEvent windowStart = Gen->AudioOut1->OnStart(), windowStop = Gen->AudioOut1->OnStop();
    Gen->AudioOut1->SetOnStart([this, windowStart](void* sender) {
      windowStart(sender);
      ++Starts;
    });
    Gen->AudioOut1->SetOnStop([this, windowStop](void* sender) {
      windowStop(sender);
      ++Stops;
    });
  }

  void TearDown() override {
    FailNextStart = false;
    Capture.Clear();
  }

  /// LED, title, default button and controls as after a stop.
  void ExpectWindowStopped() {
    EXPECT_FALSE(Gen->AudioOut1->Active);
    EXPECT_EQ(Gen->LED.BrushColor(), clMaroon);
    EXPECT_EQ(App.Title(), "Zephyra");
    EXPECT_EQ(Gen->DefaultButton(), &Gen->btnON);
    EXPECT_TRUE(Gen->cboChannels.Enabled()) << "the controls a running output locks are free again";
  }

  /// The user types text into edit and moves on to another control.
  void Enter(TEdit& edit, const std::string& text) {
    ASSERT_TRUE(Gen->SetFocus(edit)) << edit.Name();
    edit.SetText(text);
    Gen->SetFocus(Gen->chkSync);
  }

  /// Output settings by list entry: rate, width, buffer size.
  void ChooseOutput(int32_t rate, int32_t width, int32_t bufferSize) {
    Settings->cboFsList.UserSelect(rate);
    Settings->cboQuant.UserSelect(width);
    Settings->cboBufferSize.UserSelect(bufferSize);
  }

  /// 0.2 s of pink noise at -6 dB, not looped; a peaking filter and sine modulation on the left,
  /// square modulation on the right. Set in stereo, where every field is open.
  void ChooseSignal(int32_t channels) {
    Gen->cboChannels.UserSelect(cmStereo);
    Gen->WaveFormLeft.UserSelect(ntPink);
    Gen->WaveFormRight.UserSelect(ntPink);
    Enter(Gen->AmplitudeLeft, "-6");
    Enter(Gen->AmplitudeRight, "-6");
    Gen->cboFilterTypeL1.UserSelect(ftPeaking);
    Enter(Gen->txtFZeroL, "800");
    Enter(Gen->txtGainL, "9");
    Enter(Gen->txtQL, "2");
    Gen->ModulationOnLeft.SetChecked(true);
    Gen->ModFunctionLeft.UserSelect(mfSine);
    Enter(Gen->ModPeriodLeftEdit, "0.07");
    Enter(Gen->ModDepthLeftEdit, "50");
    Enter(Gen->ModPhaseLeftEdit, "30");
    Gen->ModulationOnRight.SetChecked(true);
    Gen->ModFunctionRight.UserSelect(mfSquare);
    Enter(Gen->ModPeriodRightEdit, "0.03");
    Enter(Gen->ModDepthRightEdit, "70");
    Enter(Gen->Duration, "0.2");
    Gen->Loop.SetChecked(false);
    Gen->cboChannels.UserSelect(channels);
  }

  /// Processes messages until the stop event has come; false after ten seconds.
  bool WaitForStop() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Stops == 0) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      Loop.WaitMessages(10);
    }
    return true;
  }

  /// The whole signal as the engine renders it in one fill, from the state
  /// start (the window's before ON) prepared as ON prepares it.
  std::vector<uint8_t> RenderedFrom(const GeneratorState& start) {
    Gen->State = start;
    Gen->Preparevariables();
    return WholeSignal(Gen->State);
  }

  TAlsaCaptureDevice Capture;  // before the device: ALSA reads its configuration when PortAudio starts
  TPlainMessageLoop Loop;
  TPortAudioWaveOut Device{&StartStream};
  TSteadyClock Clock;
  TFakeDialogs Dialogs;
  TFakeShell Shell;
  TMemorySettingsStore Store;
  TApplication App{Dialogs};
  std::unique_ptr<TfrmGenerator> Gen;
  std::unique_ptr<TfrmSettings> Settings;
  int Starts = 0;
  int Stops = 0;
};

TEST_F(PlaybackOnDevice, SignalEndingByItselfReachesTheDeviceAsTheEngineRendersItAndTheWindowShowsItStopped) {
  struct TCase {
    const char* name;
    int32_t channels, rate, width, bufferSize;
  };
  // 4096-byte buffers make the stereo signal span nine of them, so the
  // queue is refilled from returned buffers several times.
  for (TCase c : {TCase{"stereo, 44100 Hz, 16 bits", cmStereo, 3, 0, 0},
                  TCase{"mono, 48000 Hz, 24 bits", cmMono, 4, 1, 1}}) {
    SCOPED_TRACE(c.name);
    Starts = Stops = 0;
    Capture.Clear();
    ChooseOutput(c.rate, c.width, c.bufferSize);
    ChooseSignal(c.channels);
    Gen->State.random.Seed(Seed);
    const GeneratorState beforeOn = Gen->State;

    Gen->btnONClick();
    ASSERT_TRUE(Gen->AudioOut1->Active) << Gen->AudioOut1->ErrorMessage;
    ASSERT_TRUE(WaitForStop()) << "the signal did not end within ten seconds";

    EXPECT_EQ(Starts, 1);
    ExpectWindowStopped();
    EXPECT_TRUE(Dialogs.Messages.empty()) << Dialogs.Messages.front();

    const size_t frameBytes = static_cast<size_t>(Gen->State.bytesPerFrame);
    const std::vector<uint8_t> rendered = DropSilentFrames(RenderedFrom(beforeOn), frameBytes, 0);
    ASSERT_GT(rendered.size(), static_cast<size_t>(Gen->State.totalFrames) * frameBytes * 9 / 10)
        << "pink noise at -6 dB is hardly ever silent";
    const std::vector<uint8_t> played = Capture.Audible(frameBytes, 0);
    // A device without a clock takes every buffer at once; silence in between
    // or after them would only fill its file (priming and drain stay under three seconds).
    EXPECT_LT(Capture.Captured().size(), rendered.size() + 3u * Gen->State.sampleRate * frameBytes);
    if (played.size() < rendered.size() && std::equal(played.begin(), played.end(), rendered.begin()))
      ADD_FAILURE() << "the last " << (rendered.size() - played.size()) / frameBytes << " of "
                    << rendered.size() / frameBytes << " frames did not reach the device";
    else
      EXPECT_TRUE(played == rendered) << "the played frames differ from the rendered ones";
  }
}

/// bytes without the whole frames of silence before the first sound and after the last.
std::vector<uint8_t> TrimSilence(const std::vector<uint8_t>& bytes, size_t frameBytes) {
  const auto silent = [&](size_t frame) {
    return std::all_of(bytes.begin() + frame * frameBytes, bytes.begin() + (frame + 1) * frameBytes,
                       [](uint8_t b) { return b == 0; });
  };
  size_t first = 0, end = bytes.size() / frameBytes;
  while (first < end && silent(first)) ++first;
  while (end > first && silent(end - 1)) --end;
  return {bytes.begin() + first * frameBytes, bytes.begin() + end * frameBytes};
}

TEST_F(PlaybackOnDevice, ADeviceWithoutAClockWaitsForALateBufferInsteadOfPlayingSilenceInsideTheSignal) {
  // The render thread is held back on some fills, as a loaded machine holds
  // it back, longer than any deadline a clocked device would set; the file
  // device has no deadline: its bytes are the rendered signal, whole.
  ChooseOutput(3, 0, 0);
  ChooseSignal(cmStereo);
  Settings->cboBuffers.UserSelect(0);
  const TBufferEvent windowFill = Gen->AudioOut1->OnFillBuffer();
  int fills = 0;
  Gen->AudioOut1->SetOnFillBuffer([&](uint8_t* buffer, int32_t& size) {
    if (++fills == 3 || fills == 6) std::this_thread::sleep_for(std::chrono::milliseconds(250));
    return windowFill(buffer, size);
  });
  Gen->State.random.Seed(Seed);
  const GeneratorState beforeOn = Gen->State;
  Gen->btnONClick();
  ASSERT_TRUE(Gen->AudioOut1->Active) << Gen->AudioOut1->ErrorMessage;
  ASSERT_TRUE(WaitForStop()) << "the signal did not end within ten seconds";
  const size_t frameBytes = static_cast<size_t>(Gen->State.bytesPerFrame);
  const std::vector<uint8_t> rendered = TrimSilence(RenderedFrom(beforeOn), frameBytes);
  const std::vector<uint8_t> played = TrimSilence(Capture.Captured(), frameBytes);
  ASSERT_GT(fills, 6);
  EXPECT_EQ(played.size(), rendered.size()) << "silence inside the signal: "
                                            << (static_cast<double>(played.size()) - rendered.size()) / frameBytes
                                            << " frames more than rendered";
  EXPECT_TRUE(played == rendered) << "the played frames differ from the rendered ones";
}

TEST_F(PlaybackOnDevice, AStreamThatFailsToStartLeavesTheWindowStoppedAndTheNextOnPlays) {
  ChooseOutput(3, 0, 0);
  ChooseSignal(cmStereo);
  FailNextStart = true;
  Gen->btnONClick();
  ASSERT_TRUE(WaitForStop()) << "the device of the failed start never closed";
  EXPECT_EQ(Starts, 1) << "OnStart, then OnStop";
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0], std::string("Sound Device Error: \r") + Pa_GetErrorText(paDeviceUnavailable));
  ExpectWindowStopped();

  Starts = Stops = 0;
  Capture.Clear();
  Gen->btnONClick();
  ASSERT_TRUE(Gen->AudioOut1->Active) << Gen->AudioOut1->ErrorMessage;
  ASSERT_TRUE(WaitForStop()) << "the signal did not end within ten seconds";
  EXPECT_EQ(Dialogs.Messages.size(), 1u) << Dialogs.Messages.back();
  EXPECT_FALSE(Capture.Audible(4, 0).empty()) << "the next ON plays";
}

}  // namespace
