// The program's start through its ordered start-up, on fake services: the
// windows in their order, the splash fade on a fake loop, the first
// command-line argument's branches, and what the user sees at the first frame.

#include "app/Application.h"
#include "app/Startup.h"
#include "app/frmGenerator.h"
#include "app/frmStartSplash.h"
#include "persistence/MemorySettingsStore.h"
#include "persistence/PresetFile.h"
#include "platform/HotKey.h"
#include "playback/frmSettings.h"
#include "tests/fakes/FakeDialogs.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/FakeMessageLoop.h"
#include "tests/fakes/FakeShell.h"
#include "tests/fakes/FakeWaveOutDevice.h"
#include "tests/persistence/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

/// Records what the start-up hands to the view, with how far the fake loop
/// had slept and how many messages and questions had been shown by then.
class TRecordingView final : public TStartupView {
public:
  TRecordingView(TFakeMessageLoop& loop, TFakeDialogs& dialogs) : FLoop(loop), FDialogs(dialogs) {}

  struct TEntry {
    std::string Event;
    int SleptMs, Messages, Questions;
    bool operator==(const TEntry&) const = default;
  };

  void GeneratorCreated(TfrmGenerator& form) override {
    Generator = &form;
    Record("generator");
  }
  void SplashCreated(TfrmStartSplash& form) override {
    Splash = &form;
    Record("splash");
  }
  void SplashDestroying(TfrmStartSplash& form) override {
    EXPECT_EQ(&form, Splash);
    SplashVisibleAtEnd = form.Visible();
    Splash = nullptr;
    Record("splash gone");
  }
  void ScriptPopupCreated(TfrmScriptPopup&) override { Record("script popup"); }
  void SettingsCreated(TfrmSettings&) override { Record("settings"); }
  void WaitCreated(TfrmWait&) override { Record("wait"); }
  void WindowsCreated(TfrmGenerator&) override { Record("windows"); }
  int Exec() override {
    Record("exec");
    // What the first frame shows.
    FilterEditsEnabled = {Generator->txtFZeroL.Enabled(), Generator->txtGainL.Enabled(),
                          Generator->txtQL.Enabled()};
    return 0;
  }
  void WindowsDestroying() override {}

  void Reset() {
    Log.clear();
    Generator = nullptr;
    Splash = nullptr;
    SplashVisibleAtEnd.reset();
    FilterEditsEnabled.clear();
  }

  std::vector<std::string> Events() const {
    std::vector<std::string> events;
    for (const TEntry& e : Log) events.push_back(e.Event);
    return events;
  }

  std::vector<TEntry> Log;
  TfrmGenerator* Generator = nullptr;
  TfrmStartSplash* Splash = nullptr;
  std::optional<bool> SplashVisibleAtEnd;
  std::vector<bool> FilterEditsEnabled;

private:
  void Record(std::string event) {
    Log.push_back({std::move(event), FLoop.SleptMs, static_cast<int>(FDialogs.Messages.size()),
                   static_cast<int>(FDialogs.Questions.size())});
  }

  TFakeMessageLoop& FLoop;
  TFakeDialogs& FDialogs;
};

class Startup : public ::testing::Test, protected TFakeServices {
protected:
  void SetUp() override {
    TPresetBank bank;
    bank[0].SetName("Example");
    SavePresetFile(Dir.File("Examples.zep"), bank);
    bank[0].SetName("Named");
    SavePresetFile(Dir.File("set.zep"), bank);
    // The splash's opacity at every sleep of the fade.
    Loop.OnSleep = [this] {
      if (View.Splash) Fade.push_back({Loop.SleptMs - LastSleptMs, View.Splash->AlphaBlendValue()});
      LastSleptMs = Loop.SleptMs;
    };
  }

  /// Starts the program once with firstArgument; a new start-up each time,
  /// on the same settings store, as a restart would.
  int Start(const std::string& firstArgument, const std::filesystem::path& programFolder = {}) {
    Program.reset();
    View.Reset();
    Fade.clear();
    LastSleptMs = Loop.SleptMs;
    Program = std::make_unique<TStartup>(
        TGeneratorServices{App, Loop, Dialogs, Shell, Loop.Clock, Device, Store, Format}, View,
        programFolder.empty() ? Dir.Path() : programFolder);
    return Program->Run(firstArgument);
  }

  std::string Memory1() const { return Program->Generator()->Memory1.Caption(); }

  TTempDir Dir;
  TRecordingView View{Loop, Dialogs};
  std::unique_ptr<TStartup> Program;
  /// (ms slept, opacity) at each sleep while the splash exists.
  std::vector<std::pair<int, int>> Fade;
  int LastSleptMs = 0;
};

TEST_F(Startup, WithoutArgumentTheSplashFadesAroundTheWindowsThenTheExamplesLoad) {
  App.SetTitle("ON - Zephyra");
  EXPECT_EQ(Start(""), 0);
  EXPECT_EQ(App.Title(), "Zephyra");
  EXPECT_EQ(View.Events(),
            (std::vector<std::string>{"generator", "splash", "script popup", "settings", "wait", "splash gone", "windows", "exec"}));
  // Fade in: opacity 16, 32 .. 240 with 20 ms each; held for 7 x 50 ms; fade
  // out: 240, 224 .. 16 with 20 ms each.
  std::vector<std::pair<int, int>> expected;
  for (int step = 1; step <= 15; ++step) expected.push_back({20, step * 16});
  for (int step = 0; step < 7; ++step) expected.push_back({50, 240});
  for (int step = 1; step <= 15; ++step) expected.push_back({20, 256 - step * 16});
  EXPECT_EQ(Fade, expected);
  EXPECT_EQ(View.Log[2].SleptMs, 0) << "the script popup exists before the fade";
  EXPECT_EQ(View.Log[3].SleptMs, 15 * 20 + 7 * 50) << "the settings load runs while the splash shows";
  EXPECT_EQ(View.SplashVisibleAtEnd, false);
  EXPECT_EQ(Loop.ProcessCount >= 37, true) << "messages are processed after every sleep";
  EXPECT_EQ(Memory1(), "Example");
}

TEST_F(Startup, TheSplashShowsTheProductAndVersion) {
  TfrmStartSplash splash;
  EXPECT_EQ(splash.Label1.Caption(), "Zephyra 1.3");
  EXPECT_FALSE(splash.Visible());
  EXPECT_EQ(splash.AlphaBlendValue(), 0);
}

TEST_F(Startup, TheFirstArgumentDecidesSplashAndPresets) {
  std::filesystem::create_directory(Dir.File("sub"));
  const struct {
    std::string argument;
    bool splash;
    std::string memory1;
  } cases[] = {
      {"", true, "Example"},
      {"/nosplash", false, "Example"},
      {"x/nosplashy", false, "Example"},
      {"/NOSPLASH", true, "Example"},
      {"other", true, "Example"},
      {Dir.File("set.zep"), true, "Named"},
      {"/nosplash " + Dir.File("set.zep"), false, "Memory 1"},
      {Dir.File("set.ZEP"), true, "Memory 1"},        // the test is case-sensitive; the full stop stops the examples
      {Dir.File("missing.zep"), true, "Memory 1"},    // silently nothing
      {Dir.File("sub/../set.zep"), true, "Named"},
      {"a.b", true, "Memory 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    EXPECT_EQ(Start(c.argument), 0);
    EXPECT_EQ(View.Events().back(), "exec");
    EXPECT_EQ(Fade.size(), c.splash ? 37u : 0u);
    EXPECT_EQ(Memory1(), c.memory1);
    EXPECT_TRUE(Dialogs.Errors.empty());
  }
}

TEST_F(Startup, InstalledTheExamplesAreFoundInTheSharedDataFolder) {
  std::filesystem::create_directories(Dir.Path() / "prefix" / "bin");
  std::filesystem::create_directories(Dir.Path() / "prefix" / "share" / "zephyra");
  TPresetBank bank;
  bank[0].SetName("Installed");
  SavePresetFile((Dir.Path() / "prefix" / "share" / "zephyra" / "Examples.zep").string(), bank);
  EXPECT_EQ(Start("", Dir.Path() / "prefix" / "bin"), 0);
  EXPECT_EQ(Memory1(), "Installed");
}

TEST_F(Startup, AScriptArgumentRunsTheBatchWithTheWindowHiddenAndEndsWithItsStatus) {
  const auto script = [&](const std::string& name, const std::string& text) {
    WriteBytes(Dir.File(name), std::vector<uint8_t>(text.begin(), text.end()));
    return Dir.File(name);
  };
  EXPECT_EQ(Start(script("tests.zes", "rem nothing to play\nend\n")), 0);
  EXPECT_EQ(View.Events(), (std::vector<std::string>{"generator", "splash", "script popup", "settings", "wait",
                                                      "splash gone", "windows"}))
      << "no message loop";
  EXPECT_FALSE(Program->Generator()->Visible());
  EXPECT_EQ(Memory1(), "Memory 1") << "a script name has a full stop: no examples";
  EXPECT_FALSE(Store.KeyExists()) << "a batch run stores no settings";

  EXPECT_NE(Start(script("bad.zes", "play 9 nowhere.zep\n")), 0) << "a run that fails ends with its status";
  EXPECT_NE(View.Events().back(), "exec");

  EXPECT_EQ(Start(Dir.File("none.zes")), 0) << "a missing script is not run";
  EXPECT_EQ(View.Events().back(), "exec");
  std::filesystem::create_directory(Dir.File("folder.zes"));
  EXPECT_EQ(Start(Dir.File("folder.zes")), 0) << "a folder is no script";
  EXPECT_EQ(View.Events().back(), "exec");
  EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(Startup, AFileThatIsNoPresetFileIsNamedWithWhyAndATruncatedOneSaysWhatItHolds) {
  std::vector<uint8_t> cut = PresetImage([] {
    TPresetBank bank;
    bank[0].SetName("Cut");
    return bank;
  }());
  cut.resize(5000);
  const std::string header = "\"ZEP Preset File V1\"";
  const struct {
    std::string name;
    std::vector<uint8_t> bytes;
    std::string argument;  // empty: the file is the examples
    int status;
    std::string why;
    std::string memory1;
  } cases[] = {
      {"text.zep", {'h', 'i', '\n'}, "text.zep", 1, "is not a preset file: it does not begin with " + header,
       "Memory 1"},
      {"empty.zep", {}, "empty.zep", 1, "is not a preset file: it is empty", "Memory 1"},
      {"cut.zep", cut, "cut.zep", 0, "is truncated: it holds 1 of the 4 memories whole (5000 of 16581 bytes)", "Cut"},
      {"Examples.zep", cut, "", 0, "is truncated: it holds 1 of the 4 memories whole", "Cut"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Dir.File(c.name), c.bytes);
    Dialogs.Errors.clear();
    EXPECT_EQ(Start(c.argument.empty() ? "" : Dir.File(c.argument)), c.status);
    ASSERT_EQ(Dialogs.Errors.size(), 1u);
    EXPECT_EQ(Dialogs.Errors[0].rfind("'" + Dir.File(c.name) + "' " + c.why, 0), 0u) << Dialogs.Errors[0];
    EXPECT_EQ(View.Events().back() == "exec", c.status == 0);
    EXPECT_EQ(Memory1(), c.memory1) << "a file that is no preset file changes no memory";
  }
}

TEST_F(Startup, APresetFileThatCannotBeReadIsReportedAndEndsTheProgram) {
  std::filesystem::create_directory(Dir.File("folder.zep"));
  ASSERT_EQ(::mkfifo(Dir.File("pipe.zep").c_str(), 0600), 0);
  for (const std::string name : {"folder.zep", "pipe.zep"}) {
    SCOPED_TRACE(name);
    Dialogs.Errors.clear();
    EXPECT_EQ(Start(Dir.File(name)), 1);
    ASSERT_EQ(Dialogs.Errors.size(), 1u);
    EXPECT_NE(Dialogs.Errors[0].find(name), std::string::npos) << Dialogs.Errors[0];
    EXPECT_NE(View.Events().back(), "exec");
  }
}

TEST_F(Startup, WithoutASoundDeviceTheMessageComesBeforeTheSplashAndOnIsDisabled) {
  Device.Names.clear();
  Start("");
  EXPECT_EQ(Dialogs.Messages, (std::vector<std::string>{"No Soundcard driver found. No sound output possible."}));
  EXPECT_EQ(View.Log[1].Event, "splash");
  EXPECT_EQ(View.Log[1].Messages, 1);
  EXPECT_FALSE(Program->Generator()->btnON.Enabled());
  EXPECT_EQ(Program->Generator()->WaveDevice.Items(), (std::vector<std::string>{"System Default"}));

  Device.Names = {"Card A", "Card B"};
  Dialogs.Messages.clear();
  Start("");
  EXPECT_TRUE(Dialogs.Messages.empty());
  EXPECT_TRUE(Program->Generator()->btnON.Enabled());
  EXPECT_EQ(Program->Generator()->WaveDevice.Items(),
            (std::vector<std::string>{"System Default", "Card A", "Card B"}));
}

TEST_F(Startup, TheWelcomeQuestionIsAskedOnEveryStartUntilItsBoxIsTicked) {
  for (const TModalResult answer : {TModalResult::No, TModalResult::Yes}) {
    SCOPED_TRACE(answer == TModalResult::Yes ? "Yes" : "No");
    Store = TMemorySettingsStore();
    Dialogs.Questions.clear();
    Shell.HelpTopics.clear();
    Dialogs.Answers = {{answer, false}, {answer, true}};
    Start("");
    EXPECT_EQ(View.Log[0].Questions, 1) << "asked while the main window is created, before the splash";
    for (int run = 1; run < 4; ++run) Start("/nosplash");
    ASSERT_EQ(Dialogs.Questions.size(), 2u) << "asked until ticked once";
    EXPECT_EQ(Dialogs.Questions[0], "Welcome to Zephyra! Would you like to see the introduction to this program?");
    const std::vector<int> introductions = answer == TModalResult::Yes ? std::vector<int>{10, 10} : std::vector<int>{};
    EXPECT_EQ(Shell.HelpTopics, introductions);
  }
}

TEST_F(Startup, TheFilterEditsShowTheirEnablingAtTheFirstFrame) {
  Start("/nosplash");
  EXPECT_EQ(View.FilterEditsEnabled, (std::vector<bool>{false, false, false})) << "first run: filter None";

  Program->Generator()->cboFilterTypeL1.UserSelect(ftPeaking);
  Program->Generator()->Close();
  Start("/nosplash");
  EXPECT_EQ(Program->Generator()->cboFilterTypeL1.ItemIndex(), ftPeaking);
  EXPECT_EQ(View.FilterEditsEnabled, (std::vector<bool>{true, true, true}));

  Program->Generator()->cboFilterTypeL1.UserSelect(ftBandPass);
  Program->Generator()->Close();
  Start("/nosplash");
  EXPECT_EQ(View.FilterEditsEnabled, (std::vector<bool>{true, false, true})) << "no gain for a band pass";

  // A stored set whose load fails after the filter was applied falls back to
  // the reset values, and the edits follow them.
  TSettingsValues values = *Store.Read();
  values.erase("FormX");
  Store = TMemorySettingsStore(values);
  Start("/nosplash");
  EXPECT_EQ(Program->Generator()->cboFilterTypeL1.ItemIndex(), ftNone);
  EXPECT_EQ(View.FilterEditsEnabled, (std::vector<bool>{false, false, false}));
}

/// A desktop-wide key that the test presses.
class TPressableHotKey final : public THotKey {
public:
  bool Register(std::function<void()> pressed) override {
    Pressed = std::move(pressed);
    return true;
  }
  void Unregister() override { Pressed = nullptr; }
  bool Active() const override { return static_cast<bool>(Pressed); }
  std::function<void()> Pressed;
};

TEST_F(Startup, TheHotKeyTogglesFromCreationUntilExitWhichStopsTheOutputAndCloses) {
  TPressableHotKey hotKey;
  TGeneratorServices services{App, Loop, Dialogs, Shell, Loop.Clock, Device, Store, Format};
  services.HotKey = &hotKey;
  Program = std::make_unique<TStartup>(services, View, Dir.Path());
  ASSERT_EQ(Program->Run("/nosplash"), 0);
  TfrmGenerator& gen = *Program->Generator();
  ASSERT_TRUE(hotKey.Pressed) << "registered while the window is created";
  hotKey.Pressed();
  Loop.ProcessMessages();
  EXPECT_TRUE(gen.AudioOut1->Active);
  hotKey.Pressed();
  Loop.ProcessMessages();
  EXPECT_FALSE(gen.AudioOut1->Active);

  hotKey.Pressed();
  Loop.ProcessMessages();
  ASSERT_TRUE(gen.AudioOut1->Active);
  App.Perform([&] { gen.Exit1.Click(); });
  EXPECT_FALSE(gen.AudioOut1->Active);
  EXPECT_FALSE(gen.Visible());
  EXPECT_FALSE(hotKey.Active()) << "given back at close";
  EXPECT_TRUE(Store.KeyExists()) << "the settings are stored";
  Program.reset();  // before the key it was created with
}

TEST_F(Startup, OpenNewGeneratorWindowStartsThisProgramWithoutTheSplash) {
  App.ExeName = "/opt/zephyra/bin/zephyra";
  Start("/nosplash");
  App.Perform([&] { Program->Generator()->OpenNewGeneratorWindow1.Click(); });
  ASSERT_EQ(Shell.Programs.size(), 1u);
  EXPECT_EQ(Shell.Programs[0].first, "/opt/zephyra/bin/zephyra");
  EXPECT_EQ(Shell.Programs[0].second, (std::vector<std::string>{"/nosplash"}));
  EXPECT_EQ(Program->Generator()->OpenNewGeneratorWindow1.ShortCut(), "Ctrl+N");
  EXPECT_TRUE(Program->Generator()->Visible()) << "this instance goes on";
}

}  // namespace
