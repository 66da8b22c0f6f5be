// The PortAudio output on a machine without a sound-server back-end, through
// ALSA's pulse plug-in into a private server the test kills and starts again:
// the lost device is shown, reopened once it is back and heard again, and OFF
// while it is lost returns at once.

#include "AudioIO/portaudio/PortAudioWaveOut.h"
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
#include <dlfcn.h>
#include <fstream>
#include <functional>

namespace {

using TSeconds = std::chrono::duration<double>;

/// ALSA unloads its sound-server plug-ins when a stream closes, and what they
/// keep for the process is then reported as a leak of an unknown module.
/// Kept loaded, the leak checker names them and its suppressions apply.
void KeepAlsaServerPluginsLoaded() {
  for (const char* plugin : {"libasound_module_pcm_pulse.so", "libasound_module_ctl_pulse.so"}) {
    const std::string path = std::string("/usr/lib/x86_64-linux-gnu/alsa-lib/") + plugin;
    dlopen(path.c_str(), RTLD_NOW | RTLD_NODELETE);
  }
}

class PortAudioLostDevice : public ::testing::Test {
protected:
  void SetUp() override {
    if (!Server.Running()) GTEST_SKIP() << Server.Why();
    KeepAlsaServerPluginsLoaded();
    // The whole configuration: without the system's files ALSA loads no
    // other plug-in than the server's while PortAudio lists its devices.
    std::ofstream(Dir.File("asound.conf")) << "pcm.!default { type pulse }\nctl.!default { type pulse }\n";
    setenv("ALSA_CONFIG_PATH", Dir.File("asound.conf").c_str(), 1);
    Device = std::make_unique<TPortAudioWaveOut>();
    Gen = std::make_unique<TfrmGenerator>(
        TGeneratorServices{App, Loop, Dialogs, Shell, Clock, *Device, Store, TNumberFormat{'.'}});
    Settings = std::make_unique<TfrmSettings>(*Gen, Shell);
    Settings->cboFsList.UserSelect(4);       // 48000
    Settings->cboBufferSize.UserSelect(1);   // 8192 bytes
    Gen->cboChannels.UserSelect(cmStereo);
    Gen->WaveFormLeft.UserSelect(ntWhite);
    Gen->WaveFormRight.UserSelect(ntWhite);
    Gen->Loop.SetChecked(true);
    Gen->btnON.Click();
    if (!RunUntil([&] { return Gen->AudioOut1->ProcessedBuffers > 4; }, 3))
      GTEST_SKIP() << "PortAudio does not play through ALSA's pulse plug-in here";
    Server.Kill();
    ASSERT_TRUE(RunUntil([&] { return Gen->AudioOut1->DeviceLost(); }, 4)) << "the loss is noticed";
  }
  void TearDown() override {
    if (Gen) Gen->AudioOut1->StopAtOnce();
    unsetenv("ALSA_CONFIG_PATH");
  }
  bool RunUntil(const std::function<bool()>& done, double seconds) { return RunLoopUntil(Loop, done, seconds); }

  TSoundServer Server{TSoundServer::TKind::PulseAudio};
  TPlainMessageLoop Loop;
  std::unique_ptr<TPortAudioWaveOut> Device;
  TSteadyClock Clock;
  TFakeDialogs Dialogs;
  TFakeShell Shell;
  TMemorySettingsStore Store;
  TApplication App{Dialogs};
  TTempDir Dir;
  std::unique_ptr<TfrmGenerator> Gen;
  std::unique_ptr<TfrmSettings> Settings;
};

TEST_F(PortAudioLostDevice, AServerBackIsReopenedAndHeard) {
  EXPECT_TRUE(Gen->Status().DeviceLost);
  ASSERT_TRUE(Server.Start());
  const auto back = std::chrono::steady_clock::now();
  TMonitorRecording recording(Dir.File("after.raw"), 48000);
  // Back, and a second of buffers played since: the server's stream starts slowly.
  const int32_t lost = Gen->AudioOut1->ProcessedBuffers;
  RunUntil([&] { return Gen->AudioOut1->ProcessedBuffers > lost; }, 10);
  std::cout << "first buffer back after " << TSeconds(std::chrono::steady_clock::now() - back).count() << " s\n";
  ASSERT_TRUE(RunUntil([&] { return !Gen->AudioOut1->DeviceLost() && Gen->AudioOut1->ProcessedBuffers > lost + 24; }, 10))
      << "the device is back";
  std::cout << "playing again after " << TSeconds(std::chrono::steady_clock::now() - back).count() << " s\n";
  EXPECT_TRUE(Gen->AudioOut1->Active);
  EXPECT_FALSE(Gen->Status().DeviceLost);
  EXPECT_GE(Gen->AudioOut1->Dropouts().Milliseconds, 1000) << "the time lost is a dropout";
  Gen->btnOFF.Click();
  EXPECT_GT(GapsIn(recording.Stop(), 48000, 96).SoundFrames, 48000 / 4) << "sound after the return";
}

TEST_F(PortAudioLostDevice, OffWhileLostStopsAtOnce) {
  RunUntil([] { return false; }, 1.0);  // the dead stream closed, its device sought
  const auto off = std::chrono::steady_clock::now();
  Gen->btnOFF.Click();
  EXPECT_TRUE(RunUntil([&] { return !Gen->AudioOut1->Rendering() && Gen->LED.BrushColor() == clMaroon; }, 3));
  std::cout << "stopped after " << TSeconds(std::chrono::steady_clock::now() - off).count() << " s\n";
}

}  // namespace
