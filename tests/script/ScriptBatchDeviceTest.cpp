// A batch run end to end: a three-line script through the batch entry, on
// the PortAudio device and the plain message loop (real 100 ms ticks), into
// an ALSA device the test defines itself. The bytes that reached the device must be the two
// memories rendered one after the other from the same seed (the random
// sequence and the shared pink row carry over from one play to the next).
// The device plays silence whenever its queue runs empty, so both sides are
// compared without their silent frames.

#include "AudioIO/portaudio/PortAudioWaveOut.h"
#include "app/Application.h"
#include "app/frmGenerator.h"
#include "engine/Render.h"
#include "persistence/MemorySettingsStore.h"
#include "persistence/PresetFile.h"
#include "platform/Clock.h"
#include "platform/PlainMessageLoop.h"
#include "playback/frmSettings.h"
#include "script/frmScriptPopup.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/fakes/AlsaCaptureDevice.h"
#include "tests/fakes/FakeDialogs.h"
#include "tests/fakes/FakeMessageLoop.h"
#include "tests/fakes/FakeShell.h"
#include "tests/fakes/FakeWaveOutDevice.h"
#include "tests/persistence/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr uint32_t Seed = 0x5eed1234;
constexpr int32_t Rate44100 = 3;  // entries of the output settings' lists
constexpr int32_t Width16 = 0;

/// A main window with its output settings window on the given services.
struct TWindow {
  TWindow(TApplication& app, TMessageLoop& loop, TDialogs& dialogs, TShell& shell, TClock& clock,
          TWaveOutDevice& device, TSettingsStore& store)
      : Gen(TGeneratorServices{app, loop, dialogs, shell, clock, device, store, TNumberFormat{'.'}}),
        Settings(Gen, shell) {
    Settings.cboFsList.UserSelect(Rate44100);
    Settings.cboQuant.UserSelect(Width16);
  }

  /// The user types text into edit and moves on to another control.
  void Enter(TEdit& edit, const std::string& text) {
    ASSERT_TRUE(Gen.SetFocus(edit)) << edit.Name();
    edit.SetText(text);
    Gen.SetFocus(Gen.chkSync);
  }

  TfrmGenerator Gen;
  TfrmSettings Settings;
};

class ScriptBatchOnDevice : public ::testing::Test {
protected:
  void SetUp() override {
    const std::optional<uint32_t> id = Capture.FindIn(Device);
    ASSERT_TRUE(id) << "PortAudio does not list the test's ALSA device";
    Player.Gen.WaveDevice.UserSelect(static_cast<int32_t>(*id) + 1);  // entry 0 is the default output
    // The ALSA file device starts its file afresh at every open: each play's
    // bytes are collected when its output has closed.
    const TNotifyEvent windowStop = Player.Gen.AudioOut1->OnStop();
    Player.Gen.AudioOut1->SetOnStop([this, windowStop](void* sender) {
      const std::vector<uint8_t> bytes = Capture.Captured();
      Played.insert(Played.end(), bytes.begin(), bytes.end());
      Capture.Clear();
      windowStop(sender);
    });
  }

  void TearDown() override { Capture.Clear(); }

  /// Memory 1: 0.2 s of pink noise at -6 dB through a peaking filter, looped
  /// (a script plays it once). Memory 2: 0.15 s of white noise at -10 dB with
  /// square modulation on the right, at the lowest crest factor (higher ones
  /// round many samples to 0). Both stereo.
  std::string WritePresets(TWindow& w) {
    TfrmGenerator& g = w.Gen;
    g.cboChannels.UserSelect(cmStereo);
    g.WaveFormLeft.UserSelect(ntPink);
    g.WaveFormRight.UserSelect(ntPink);
    w.Enter(g.AmplitudeLeft, "-6");
    w.Enter(g.AmplitudeRight, "-6");
    g.cboFilterTypeL1.UserSelect(ftPeaking);
    w.Enter(g.txtFZeroL, "800");
    w.Enter(g.txtGainL, "9");
    w.Enter(g.txtQL, "2");
    w.Enter(g.Duration, "0.2");
    g.Loop.SetChecked(true);
    g.MemStore(1);
    g.WaveFormLeft.UserSelect(ntWhite);
    g.WaveFormRight.UserSelect(ntWhite);
    g.cboCrestFactorL.UserSelect(0);
    g.cboCrestFactorR.UserSelect(0);
    w.Enter(g.AmplitudeLeft, "-10");
    w.Enter(g.AmplitudeRight, "-10");
    g.cboFilterTypeL1.UserSelect(ftNone);
    g.ModulationOnRight.SetChecked(true);
    g.ModFunctionRight.UserSelect(mfSquare);
    w.Enter(g.ModPeriodRightEdit, "0.03");
    w.Enter(g.ModDepthRightEdit, "70");
    w.Enter(g.Duration, "0.15");
    g.Loop.SetChecked(false);
    g.MemStore(2);
    const std::string path = Dir.File("two signals.zep");
    SavePresetFile(path, g.Presets);
    return path;
  }

  /// The memories of the preset file rendered one after the other, each in
  /// one fill from its preparation on, by a window of its own from the seed.
  std::vector<uint8_t> RenderedInSequence(const std::string& presets, std::initializer_list<int> memories) {
    TFakeMessageLoop loop;
    TFakeWaveOutDevice device;
    TWindow reference(App, loop, Dialogs, Shell, loop.Clock, device, Store);
    TfrmGenerator& g = reference.Gen;
    EXPECT_TRUE(g.LoadSettings(presets));
    g.State.random.Seed(Seed);
    std::vector<uint8_t> all;
    for (int n : memories) {
      g.MemRecall(n);
      g.Loop.SetChecked(false);
      g.Preparevariables();
      const std::vector<uint8_t> bytes = WholeSignal(g.State);
      all.insert(all.end(), bytes.begin(), bytes.end());
    }
    return all;
  }

  std::string WriteScript(const std::string& text) {
    const std::string path = Dir.File("two signals.zes");
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
    return path;
  }

  TAlsaCaptureDevice Capture;  // before the device: ALSA reads its configuration when PortAudio starts
  TPlainMessageLoop Loop;
  TPortAudioWaveOut Device;
  TSteadyClock Clock;
  TFakeDialogs Dialogs;
  TFakeShell Shell;
  TMemorySettingsStore Store;
  TApplication App{Dialogs};
  TTempDir Dir;
  TWindow Player{App, Loop, Dialogs, Shell, Clock, Device, Store};
  TfrmScriptPopup Popup{Player.Gen};
  /// The bytes of every output run, in order.
  std::vector<uint8_t> Played;
};

TEST_F(ScriptBatchOnDevice, PlaysTheTwoMemoriesOneAfterTheOtherAsTheEngineRendersThem) {
  const std::string presets = WritePresets(Player);
  const std::string script = WriteScript("play 1 " + presets + "\nplay 2 " + presets + "\nend\n");
  Player.Gen.Loop.SetChecked(true);
  Player.Gen.State.random.Seed(Seed);

  EXPECT_EQ(Player.Gen.RunBatchScript(script), 0);

  EXPECT_TRUE(Dialogs.Messages.empty()) << Dialogs.Messages.front();
  EXPECT_TRUE(Dialogs.Errors.empty()) << Dialogs.Errors.front();
  EXPECT_FALSE(Player.Gen.AudioOut1->Active);
  EXPECT_TRUE(Player.Gen.Loop.Checked()) << "Loop has its state from before the run";
  EXPECT_FALSE(Store.KeyExists()) << "a batch run never stores the settings";

  const size_t frameBytes = 4;  // stereo, 16 bits
  const std::vector<uint8_t> rendered = DropSilentFrames(RenderedInSequence(presets, {1, 2}), frameBytes, 0);
  ASSERT_GT(rendered.size(), size_t{44100} * 35 / 100 * frameBytes * 9 / 10) << "noise is hardly ever silent";
  const std::vector<uint8_t> played = DropSilentFrames(Played, frameBytes, 0);
  if (played.size() < rendered.size() && std::equal(played.begin(), played.end(), rendered.begin()))
    ADD_FAILURE() << "the last " << (rendered.size() - played.size()) / frameBytes << " of "
                  << rendered.size() / frameBytes << " frames did not reach the device";
  else
    EXPECT_TRUE(played == rendered) << "the played frames differ from the memories rendered in sequence";
}

}  // namespace
