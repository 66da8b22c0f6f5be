// Script runs through the main window on fake services: script files and
// preset files on disk in, the messages, the progress window, the device's
// calls and the exit status out. The fake loop's sleeps cost no time, so a
// ten-second delay runs at once.

#include "persistence/PresetFile.h"
#include "script/ScriptFile.h"
#include "script/ScriptRunner.h"
#include "script/frmScriptPopup.h"
#include "tests/app/GeneratorFixture.h"
#include "tests/persistence/TempDir.h"

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

class ScriptRun : public GeneratorFixture {
protected:
  void SetUp() override {
    GeneratorFixture::SetUp();
    Prepare();
  }

  /// A new window (after a change of Format) with its progress window.
  void Prepare() {
    Popup = std::make_unique<TfrmScriptPopup>(*Gen);
    Popup->Label1.AddObserver([this] { Labels.push_back(Popup->Label1.Caption()); });
    Device.AutoReturn = true;
    std::filesystem::create_directory(Dir.Path() / "My Presets");
    PresetPath = WritePresets("My Presets/noise a.zep");
  }

  void Recreate(char separator) {
    Popup.reset();
    Format = {separator};
    Create();
    Prepare();
  }

  /// Memories 1 to 4: 0.125, 0.375, 0.25 and 0.5 seconds of noise; memory 2
  /// loops. The window is left at 1 second, not looped.
  std::string WritePresets(const std::string& name) {
    const char* durations[] = {"0.125", "0.375", "0.25", "0.5"};
    for (int n = 1; n <= 4; ++n) {
      Enter(Gen->Duration, durations[n - 1]);
      Gen->Loop.SetChecked(n == 2);
      Gen->MemStore(n);
    }
    Gen->Loop.SetChecked(false);
    Enter(Gen->Duration, "1");
    const std::string path = Dir.File(name);
    SavePresetFile(path, Gen->Presets);
    return path;
  }

  std::string WriteScript(const std::string& text) {
    const std::string path = Dir.File("test.zes");
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
    return path;
  }

  TScriptOutcome Run(const std::string& text) { return Gen->Runscript(WriteScript(text)); }

  /// Runs action at the given sleep of the code under test (1 = the first).
  void AtSleep(int sleep, std::function<void()> action) {
    Loop.OnSleep = [this, sleep, action] {
      if (Loop.SleepCount == sleep) action();
    };
  }

  /// Lets the device play until the output stops; false when it never does.
  bool PlayToTheEnd() {
    for (int i = 0; i < 1000 && Gen->AudioOut1->Active; ++i) Loop.ProcessMessages();
    return !Gen->AudioOut1->Active;
  }

  /// What a finished run must have put back, however it ended.
  void ExpectTidiedUp(bool loop) {
    EXPECT_TRUE(Gen->Enabled()) << "the main window takes input again";
    EXPECT_FALSE(Popup->Visible());
    EXPECT_EQ(Gen->Loop.Checked(), loop);
    EXPECT_FALSE(App.SignalBusy);
  }

  TTempDir Dir;
  std::string PresetPath;
  std::unique_ptr<TfrmScriptPopup> Popup;
  std::vector<std::string> Labels;
};

TEST_F(ScriptRun, PlayFindsThePresetFileByTheRestOfTheLine) {
  std::filesystem::copy_file(PresetPath, Dir.File("my  noise.zep"));
  struct TCase {
    std::string line;
    std::string message;  ///< empty: memory 2 played
  };
  const TCase cases[] = {
      {"PLAY 2 " + PresetPath, ""},
      {"play 2 " + Dir.File("my  noise.zep"), ""},
      {"play 2 " + PresetPath + " ", ""},
      {"play 2 " + PresetPath + "  ", "FILE NOT FOUND: '" + PresetPath + " '."},
      {"play 2", "FILE NOT FOUND: ''."},
      {"play 2 " + Dir.Path().string(), "FILE NOT FOUND: '" + Dir.Path().string() + "'."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.line);
    Dialogs.Messages.clear();
    Device.Calls.clear();
    const TScriptOutcome outcome = Run(c.line + "\nend\n");
    if (c.message.empty()) {
      EXPECT_TRUE(Dialogs.Messages.empty());
      EXPECT_EQ(Device.CountOf("Open"), 1);
      EXPECT_EQ(Gen->Duration.Text(), "0.375") << "memory 2 was recalled";
      EXPECT_EQ(outcome, TScriptOutcome::Finished);
    } else {
      EXPECT_EQ(Dialogs.Messages, std::vector<std::string>{c.message});
      EXPECT_EQ(Device.CountOf("Open"), 0);
      EXPECT_EQ(outcome, TScriptOutcome::Failed) << "a play line that played nothing fails the run";
    }
    EXPECT_FALSE(Gen->AudioOut1->Active);
    ExpectTidiedUp(false);
  }
}

TEST_F(ScriptRun, EveryWayOfEndingReportsItselfAndTidiesUp) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string delayError = "'' is not a valid floating point value";
  struct TCase {
    std::string script;
    std::vector<std::string> messages;
    std::vector<std::string> errors;
    TScriptOutcome outcome;
    int sleeps;
  };
  const TCase cases[] = {
      {"end now\nplay 1 " + PresetPath + "\n", {}, {}, TScriptOutcome::Finished, 0},
      {"rem anything at all\nEND\n", {}, {}, TScriptOutcome::Finished, 0},
      {"rem one\nrem two\n", {"Invalid command in line 3"}, {}, TScriptOutcome::Finished, 0},
      {"rem one\nrem two", {"Invalid command in line 3"}, {}, TScriptOutcome::Finished, 0},
      {"", {"Invalid command in line 1"}, {}, TScriptOutcome::Finished, 0},
      {"\nend\n", {"Invalid command in line 1"}, {}, TScriptOutcome::Failed, 0},
      {"rem\n end\n", {"Invalid command in line 2"}, {}, TScriptOutcome::Failed, 0},
      {"delay\t1\nend\n", {"Invalid command in line 1"}, {}, TScriptOutcome::Failed, 0},
      {bom + "end\n", {"Invalid command in line 1"}, {}, TScriptOutcome::Failed, 0},
      {"pause Move the microphone\npause\npause Hello\nend",
       {"Move the microphone", "Pause in script. Press OK to continue", "Hello "}, {}, TScriptOutcome::Finished, 0},
      {"delay\nend\n", {}, {delayError}, TScriptOutcome::Failed, 1},
      {"delay 0.2\ndelay\nend\n", {}, {delayError}, TScriptOutcome::Failed, 3},
      {"play  " + PresetPath + "\nend\n", {}, {"'' is not a valid integer value"}, TScriptOutcome::Failed, 0},
      {"play 5 " + PresetPath + "\nend\n", {},
       {"Memory 5 in line 1 does not exist; play takes a memory from 1 to 4."}, TScriptOutcome::Failed, 0},
      {"rem\nrepeat\n",
       {"Line 2: repeat would start the script over although no play or delay line has waited since its first "
        "line, so the script would run on without a pause. The script stops here."},
       {}, TScriptOutcome::Failed, 0},
      {"pause " + std::string(25, 'x') + std::string(25, ' ') + "\nend\n",
       {"Line 1 has more than 24 spaces; a script line holds at most 25 fields."}, {}, TScriptOutcome::Failed, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.script);
    Dialogs.Messages.clear();
    Dialogs.Errors.clear();
    Loop.SleepCount = 0;
    Gen->Loop.SetChecked(true);
    EXPECT_EQ(Run(c.script), c.outcome);
    EXPECT_EQ(Dialogs.Messages, c.messages);
    EXPECT_EQ(Dialogs.Errors, c.errors);
    EXPECT_EQ(Loop.SleepCount, c.sleeps);
    EXPECT_EQ(Device.CountOf("Open"), 0) << "nothing is played from a line the runner stops at";
    ExpectTidiedUp(true);
  }
}

TEST_F(ScriptRun, AScriptFileThatCannotBeReadRunsNoLine) {
  for (const std::string& path : {Dir.File("missing.zes"), Dir.Path().string()}) {
    SCOPED_TRACE(path);
    Dialogs.Errors.clear();
    EXPECT_EQ(Gen->Runscript(path), TScriptOutcome::Failed);
    ASSERT_EQ(Dialogs.Errors.size(), 1u);
    EXPECT_EQ(Dialogs.Errors[0].rfind("Cannot open file \"" + path + "\". ", 0), 0u) << Dialogs.Errors[0];
    EXPECT_TRUE(Labels.empty());
    ExpectTidiedUp(false);
  }
}

TEST_F(ScriptRun, PresetFilesThatCannotBeUsedPlayNothingAndTheRunGoesOn) {
  const std::string notPresets = Dir.File("not presets.zep");
  WriteBytes(notPresets, std::vector<uint8_t>(kPresetFileSize, 'x'));
  Gen->Presets[0].SetName("kept");
  EXPECT_EQ(Run("play 1 " + notPresets + "\nplay 1 " + Dir.File("gone.zep") + "\nplay 3 " + PresetPath + "\nend"),
            TScriptOutcome::Failed);
  EXPECT_EQ(Dialogs.Messages, (std::vector<std::string>{
                                  "NOT A PRESET FILE: '" + notPresets + "'. The line plays nothing.",
                                  "FILE NOT FOUND: '" + Dir.File("gone.zep") + "'.",
                              }));
  EXPECT_EQ(Device.CountOf("Open"), 1) << "only the third line played";
  EXPECT_EQ(Gen->Duration.Text(), "0.25");
}

TEST_F(ScriptRun, DelayWaitsWholeTicksReadWithTheLocalesSeparator) {
  struct TCase {
    char separator;
    const char* seconds;
    int ticks;
    bool converts;
  };
  const TCase cases[] = {{'.', "0", 1, true},      {'.', "-2", 1, true},     {'.', "2.5", 25, true},
                         {'.', "1.25", 13, true},  {'.', "0.3", 3, true},    {'.', "1.5", 15, true},
                         {'.', "1,5", 1, false},   {',', "1,5", 15, true},   {',', "1.5", 1, false},
                         {'.', "10", 100, true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(1, c.separator) + " " + c.seconds);
    Recreate(c.separator);
    Loop.SleepCount = Loop.SleptMs = 0;
    Dialogs.Errors.clear();
    EXPECT_EQ(Run(std::string("delay ") + c.seconds + "\nend"),
              c.converts ? TScriptOutcome::Finished : TScriptOutcome::Failed);
    EXPECT_EQ(Loop.SleepCount, c.ticks);
    EXPECT_EQ(Loop.SleptMs, c.ticks * TScriptRunner::kTickMs);
    EXPECT_EQ(Dialogs.Errors.size(), c.converts ? 0u : 1u);
  }
}

TEST_F(ScriptRun, AScriptLargerThanTheEditorOpensRunsToItsEnd) {
  EXPECT_EQ(Run("rem " + std::string(kMaxScriptFileBytes, 'x') + "\ndelay 0\nend\n"), TScriptOutcome::Finished);
  EXPECT_EQ(Loop.SleepCount, 1);
  EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(ScriptRun, RepeatStartsOverAtLineOne) {
  AtSleep(3, [this] { Popup->Button1.Click(); });
  EXPECT_EQ(Run("delay 0\nrepeat\n"), TScriptOutcome::Stopped);
  EXPECT_EQ(Labels, (std::vector<std::string>{"Line 1: delay 0", "Line 2: repeat ", "Line 1: delay 0",
                                              "Line 2: repeat ", "Line 1: delay 0"}));
  ExpectTidiedUp(false);
}

TEST_F(ScriptRun, ALoopedMemoryPlaysOnceForItsDuration) {
  for (bool loopBefore : {false, true}) {
    SCOPED_TRACE(loopBefore ? "Loop ticked before the run" : "Loop clear before the run");
    Device.Calls.clear();
    Gen->Loop.SetChecked(loopBefore);
    AtSleep(1000, [this] { Popup->Button2.Click(); });  // a signal that never ends is stopped here
    EXPECT_EQ(Run("play 2 " + PresetPath + "\nend\n"), TScriptOutcome::Finished);
    EXPECT_LT(Loop.SleepCount, 1000) << "the looped memory did not end by itself";
    EXPECT_EQ(Device.CountOf("Open"), 1);
    EXPECT_FALSE(Gen->AudioOut1->Active);
    ExpectTidiedUp(loopBefore);
    Loop.SleepCount = 0;
  }
}

TEST_F(ScriptRun, NextDuringAPlayEndsTheRunWithinOneTickWhileTheSoundGoesOn) {
  Gen->Loop.SetChecked(true);
  Device.AutoReturn = false;  // the device holds the signal until the run has ended
  bool enabledAtOnce = false;
  // Pressed before the output's start event has come, which sets the busy flag again.
  AtSleep(1, [&] {
    Popup->Button2.Click();
    enabledAtOnce = Gen->Enabled();
  });
  EXPECT_EQ(Run("play 4 " + PresetPath + "\nend\n"), TScriptOutcome::Stopped);
  EXPECT_EQ(Loop.SleepCount, 1);
  EXPECT_TRUE(enabledAtOnce);
  EXPECT_TRUE(Gen->AudioOut1->Active) << "Next leaves the signal playing";
  EXPECT_TRUE(Gen->Enabled());
  EXPECT_FALSE(Popup->Visible());
  EXPECT_FALSE(Gen->Loop.Checked()) << "the signal that plays on must not start to loop";
  Device.AutoReturn = true;
  ASSERT_TRUE(PlayToTheEnd()) << "the signal plays to the end of its duration";
  EXPECT_TRUE(Gen->Loop.Checked()) << "Loop is put back once the signal has ended";
}

TEST_F(ScriptRun, CancelDuringADelayFreesTheWindowAtOnceButTheDelayRunsItsLength) {
  bool enabledAtOnce = false, hiddenAtOnce = false;
  AtSleep(1, [&] {
    Popup->Button1.Click();
    enabledAtOnce = Gen->Enabled();
    hiddenAtOnce = !Popup->Visible();
  });
  EXPECT_EQ(Run("delay 10\nend\n"), TScriptOutcome::Stopped);
  EXPECT_TRUE(enabledAtOnce);
  EXPECT_TRUE(hiddenAtOnce);
  EXPECT_EQ(Loop.SleptMs, 10000);
  ExpectTidiedUp(false);
}

TEST_F(ScriptRun, CancelBeforeARepeatEndsTheRunWhenAStartEventLandsAfterTheWaitsLastCheck) {
  // The window: the delay's last tick has cleared the busy flag, then an output's start
  // event sets it again with nothing playing and no stop event to come.
  // Runs the start event at one processing of messages, as the output's note would.
  class TLateStart final : public TMessageSource {
  public:
    TLateStart(const TFakeMessageLoop& loop, std::function<void()> start) : FLoop(loop), FStart(std::move(start)) {}
    int At = -1;
    int WakeDescriptor() const override { return -1; }
    void Dispatch() override {
      if (FLoop.ProcessCount == At) FStart();
    }

  private:
    const TFakeMessageLoop& FLoop;
    std::function<void()> FStart;
  } lateStart(Loop, [this] { Gen->AudioOut1Start(nullptr); });
  constexpr int kDeadline = 200;
  bool deadlineHit = false;
  Loop.OnSleep = [&] {
    if (Loop.SleepCount == 1) Popup->Button1.Click();
    // The processing after the delay's last tick (the tick's own comes first).
    if (Loop.SleepCount == 2) lateStart.At = Loop.ProcessCount + 2;
    if (Loop.SleepCount == kDeadline) {
      deadlineHit = true;
      Popup->Button2.Click();
    }
  };
  Loop.AddSource(lateStart);
  EXPECT_EQ(Run("delay 0.2\nrepeat\n"), TScriptOutcome::Stopped);
  Loop.RemoveSource(lateStart);
  EXPECT_FALSE(deadlineHit) << "the cancelled run waited for a signal that was not playing";
  EXPECT_EQ(Loop.SleepCount, 2) << "the delay runs its length, then the run ends";
}

TEST_F(ScriptRun, AScriptChosenWhileACancelledRunStillEndsIsToldToWait) {
  const std::string second = Dir.File("second.zes");
  WriteBytes(second, {'e', 'n', 'd', '\n'});
  Loop.OnSleep = [&] {
    if (Loop.SleepCount == 1) Popup->Button1.Click();
    if (Loop.SleepCount != 2) return;
    Dialogs.Paths.push_back(second);
    Gen->RunScript1.Click();
  };
  EXPECT_EQ(Run("delay 10\nend\n"), TScriptOutcome::Stopped);
  EXPECT_EQ(Dialogs.Messages, std::vector<std::string>{"A script is still ending; try again in a moment"});
  ExpectTidiedUp(false);
}

TEST_F(ScriptRun, CancelDuringAPlayLetsTheSignalEndBeforeTheRunEnds) {
  AtSleep(1, [this] { Popup->Button1.Click(); });
  EXPECT_EQ(Run("play 4 " + PresetPath + "\nplay 1 " + PresetPath + "\n"), TScriptOutcome::Stopped);
  EXPECT_FALSE(Gen->AudioOut1->Active) << "the play wait went on to the end of the signal";
  EXPECT_EQ(Device.CountOf("Open"), 1) << "the run ended after the current line";
  ExpectTidiedUp(false);
}

TEST_F(ScriptRun, ClosingTheWindowEndsAWaitWithinOneTick) {
  AtSleep(5, [this] { Gen->Close(); });
  EXPECT_EQ(Run("delay 10\nend\n"), TScriptOutcome::Stopped);
  EXPECT_EQ(Loop.SleepCount, 5);
  EXPECT_FALSE(Popup->Visible());
  EXPECT_FALSE(App.SignalBusy);
}

TEST_F(ScriptRun, AnOutputThatDoesNotStartEndsThePlayAfterOneTick) {
  Device.Fail("Open", MMSYSERR_ALLOCATED);
  EXPECT_EQ(Run("play 1 " + PresetPath + "\ndelay 0.5\nend\n"), TScriptOutcome::Failed);
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0].rfind("Sound Device Error: ", 0), 0u) << Dialogs.Messages[0];
  EXPECT_EQ(Loop.SleepCount, 1 + 5) << "one tick for the play, then the delay";
}

TEST_F(ScriptRun, BatchModeHidesTheWindowAndExitsWithTheRunsStatus) {
  struct TCase {
    std::string script;
    int status;
    bool pressCancel;
  };
  const TCase cases[] = {
      {"play 1 " + PresetPath + "\nend\n", 0, false},
      {"play 1 " + PresetPath + "\n", 0, false},
      {"bogus\n", 1, false},
      {"play 1 " + Dir.File("gone.zep") + "\nend\n", 1, false},
      {"delay x\n", 1, false},
      {"delay 2\nend\n", 3, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.script);
    Loop.OnSleep = nullptr;
    if (c.pressCancel) AtSleep(1, [this] { Popup->Button1.Click(); });
    Loop.SleepCount = 0;
    EXPECT_EQ(Gen->RunBatchScript(WriteScript(c.script)), c.status);
    EXPECT_FALSE(Gen->Visible()) << "batch mode runs with the main window hidden";
  }
  EXPECT_EQ(Gen->RunBatchScript(Dir.File("missing.zes")), 1);
  EXPECT_FALSE(Store.KeyExists()) << "a batch run never stores the settings";
}

TEST_F(ScriptRun, RunScriptStopsTheOutputAsksForAFileAndRunsIt) {
  Device.AutoReturn = false;
  StartOutput();
  ASSERT_TRUE(Gen->AudioOut1->Active);
  Dialogs.Paths.push_back(WriteScript("pause Ready\nend\n"));
  App.HelpFile = "elsewhere";
  Gen->RunScript1.Click();
  EXPECT_FALSE(Gen->AudioOut1->Active);
  ASSERT_EQ(Dialogs.FileDialogs.size(), 1u);
  EXPECT_EQ(Dialogs.FileDialogs[0].Title, "Open script file");
  EXPECT_EQ(Dialogs.FileDialogs[0].Filter, "Scripts|*.zes;*.kvs|KAV Script|*.kvs|All Files|*.*")
      << "the program's own scripts first";
  EXPECT_EQ(Dialogs.Messages, std::vector<std::string>{"Ready "});
  EXPECT_EQ(App.HelpFile, "help");

  App.HelpFile = "elsewhere";
  Gen->RunScript1.Click();  // the dialog is cancelled
  EXPECT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(App.HelpFile, "help");
}

TEST_F(ScriptRun, ThePopupShowsItsCaptionAndOpensTheScriptsHelp) {
  Popup->SetCaption("something else");
  AtSleep(1, [this] {
    EXPECT_EQ(Popup->Caption(), "ZEP Script");
    EXPECT_TRUE(Popup->Visible());
    EXPECT_FALSE(Gen->Enabled()) << "the main window takes no input during a run";
    Popup->FormKeyDown(112);
  });
  Run("delay 0\nend\n");
  EXPECT_EQ(Shell.HelpTopics, std::vector<int>{4});
}

}  // namespace

namespace {

using ScriptEditorCommand = GeneratorFixture;

TEST_F(ScriptEditorCommand, StartsTheEditorFromTheProgramsFolder) {
  App.ExeName = "/opt/zephyra/bin/zephyra";
  Gen->OpenScriptEditor1.Click();
  ASSERT_EQ(Shell.Programs.size(), 1u);
  EXPECT_EQ(Shell.Programs[0].first, "/opt/zephyra/bin/zephyra-script-editor");
  EXPECT_TRUE(Shell.Programs[0].second.empty());
}

}  // namespace
