// How fast the window shows a lost device and how soon the sound is heard
// again once the device is back, on a private PulseAudio server: the sink
// removed and loaded again, the server killed and started again, five times
// each. The return is timed to the server's report that the stream plays.

#include "AudioIO/pulse/PulseWaveOut.h"
#include "app/Application.h"
#include "app/frmGenerator.h"
#include "persistence/MemorySettingsStore.h"
#include "platform/Clock.h"
#include "platform/PlainMessageLoop.h"
#include "playback/frmSettings.h"
#include "tests/fakes/FakeDialogs.h"
#include "tests/fakes/FakeShell.h"
#include "tests/fakes/SoundServer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;
constexpr uint32_t Rate = 48000;

double MsSince(TClock::time_point t) { return std::chrono::duration<double, std::milli>(TClock::now() - t).count(); }

struct TBench {
  TSoundServer Server{TSoundServer::TKind::PulseAudio, Rate};
  TPlainMessageLoop Loop;
  std::unique_ptr<TPulseWaveOut> Device = TPulseWaveOut::Connect();
  TSteadyClock Clock;
  TFakeDialogs Dialogs;
  TFakeShell Shell;
  TMemorySettingsStore Store;
  TApplication App{Dialogs};
  TfrmGenerator Gen{TGeneratorServices{App, Loop, Dialogs, Shell, Clock, *Device, Store, TNumberFormat{'.'}}};
  TfrmSettings Settings{Gen, Shell};

  bool RunUntil(const std::function<bool()>& done, double seconds) {
    const auto deadline = TClock::now() + std::chrono::duration<double>(seconds);
    while (!done())
      if (TClock::now() > deadline) return false;
      else Loop.WaitMessages(10);
    return true;
  }

  /// One loss: {ms until the window shows it, ms from the return to the first sound heard}.
  std::pair<double, double> Run(const std::function<void()>& lose, const std::function<void()>& restore) {
    Gen.btnON.Click();
    RunUntil([] { return false; }, 0.5);
    auto lost = TClock::now();
    lose();
    RunUntil([&] { return Gen.AudioOut1->DeviceLost(); }, 5);
    const double shown = MsSince(lost);
    RunUntil([] { return false; }, 0.5);
    restore();
    // Back when the server reports the stream playing again (the recording of
    // a monitor cannot tell: a monitor only delivers once something plays).
    const auto back = TClock::now();
    RunUntil([&] { return !Gen.AudioOut1->DeviceLost(); }, 10);
    const double heard = MsSince(back);
    RunUntil([] { return false; }, 0.3);
    Gen.btnOFF.Click();
    RunUntil([&] { return !Gen.AudioOut1->Rendering(); }, 5);
    return {shown, heard};
  }
};

}  // namespace

int main() {
  TBench b;
  if (!b.Server.Running() || !b.Device) return std::fprintf(stderr, "%s\n", b.Server.Why().c_str()), 1;
  b.Settings.cboFsList.UserSelect(4);
  b.Settings.cboBufferSize.UserSelect(1);
  b.Gen.cboChannels.UserSelect(cmStereo);
  b.Gen.WaveFormLeft.UserSelect(ntWhite);
  b.Gen.WaveFormRight.UserSelect(ntWhite);
  b.Gen.Loop.SetChecked(true);
  struct TCase {
    const char* Name;
    std::function<void()> Lose, Restore;
  };
  const TCase cases[] = {{"sink unloaded/loaded", [&] { b.Server.RemoveSink(); }, [&] { b.Server.AddSink(); }},
                         {"server killed/restarted", [&] { b.Server.Kill(); }, [&] { b.Server.Start(); }}};
  for (const TCase& c : cases)
    for (int run = 1; run <= 5; ++run) {
      const auto [shown, heard] = b.Run(c.Lose, c.Restore);
      std::printf("%s, run %d: loss shown after %.0f ms, playing %.0f ms after the return\n", c.Name, run, shown,
                  heard);
    }
  return 0;
}
