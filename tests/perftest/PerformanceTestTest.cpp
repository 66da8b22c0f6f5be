// The performance test's prompts, branches and thresholds, run through the
// main window with scripted answers and a clock that measures a given time.

#include "perftest/PerformanceTest.h"
#include "tests/app/GeneratorFixture.h"
#include "tests/persistence/TempDir.h"

#include <deque>
#include <string>
#include <vector>

namespace {

using R = TModalResult;

/// The tick counter: the export takes exactly Dt milliseconds.
struct TMeasuredClock final : TClock {
  uint32_t TickCount() override { return Reads++ == 0 ? 4294960000u : 4294960000u + Dt; }  // wraps
  uint64_t HighResolutionCounter() override { return 0; }
  uint32_t Dt = 0;
  int Reads = 0;
};

constexpr int kRate22050 = 2;
constexpr int kRate44100 = 3;
constexpr int kRate96000 = 5;

constexpr const char* Intro = "This test will check";
constexpr const char* First = "First test:";
constexpr const char* SlowFirst = "Next test: A 5 second, 1kHz mono";
constexpr const char* SlowLast = "Last test: A 5 second, 1kHz MONO";
constexpr const char* FastFirst = "Next test: A 5 sec stereo";
constexpr const char* FastLast = "Last test: A 5 second, 1kHz stereo MODULATED";
constexpr const char* Heard = "Did you hear any tone at all?";
constexpr const char* Froze = "Did your computer stop to respond or freeze during playback?";

class PerformanceTest : public GeneratorFixture {
protected:
  void SetUp() override {
    Device.AutoReturn = true;
    Create();
  }
  void Create() {
    // The old window goes first: its output takes the shared device off the loop.
    Settings.reset();
    Gen.reset();
    App.ExeName = std::string(ZEPHYRA_PROGRAM_DIR) + "/zephyra";
    Gen = std::make_unique<TfrmGenerator>(
        TGeneratorServices{App, Loop, Dialogs, Shell, Clock, Device, *SettingsStore, Format});
    Settings = std::make_unique<TfrmSettings>(*Gen, Shell);
    Settings->cboFsList.UserSelect(kRate96000);
    Dialogs.Questions.clear();
  }

  /// Runs the test from the Tools menu with these answers; the export takes dt ms.
  void Run(uint32_t dt, std::vector<R> answers) {
    Clock.Dt = dt;
    for (R a : answers) Dialogs.Answers.push_back({a, false});
    Gen->PerformanceTest1.Click();
    EXPECT_TRUE(Dialogs.Answers.empty()) << "the test asked fewer questions than scripted";
  }

  /// The first words of every prompt and question, in order.
  std::vector<std::string> Asked() const {
    std::vector<std::string> starts;
    for (const std::string& q : Dialogs.Questions) {
      for (const char* known : {Intro, First, SlowFirst, SlowLast, FastFirst, FastLast, Heard, Froze})
        if (q.rfind(known, 0) == 0) starts.push_back(known);
    }
    return starts;
  }

  int RateEntry() const { return Settings->cboFsList.ItemIndex(); }

  TMeasuredClock Clock;
};

TEST_F(PerformanceTest, TheMenuShowsTheTestWithoutAShortcut) {
  EXPECT_TRUE(Gen->PerformanceTest1.Visible());
  EXPECT_EQ(Gen->PerformanceTest1.Caption(), "Performance &Test");
  EXPECT_EQ(Gen->PerformanceTest1.ShortCut(), "");
}

TEST_F(PerformanceTest, TheMeasuredTimeDecidesTheVerdictAndThePath) {
  struct TCase { uint32_t dt; const char* text; std::vector<R> answers; std::vector<std::string> asked; };
  const char* tail = " seconds to generate a 10 second stereo CD quality signal. Your computer is ";
  const std::string help = " Check the help files for possible improvements.";
  const std::vector<TCase> cases = {
      {9000, "9", {R::OK, R::OK, R::Cancel}, {Intro, First, FastFirst}},
      {9001, "9.001", {R::OK, R::OK, R::Cancel}, {Intro, First, FastFirst}},
      {10000, "10", {R::OK, R::OK}, {Intro, First}},
      {10001, "10.001", {R::OK, R::OK, R::Cancel}, {Intro, First, SlowFirst}},
  };
  const std::string verdicts[] = {
      "fast enough to run tests at full stereo CD quality.",
      "marginally fast enough to run tests at full stereo CD quality." + help,
      "marginally fast enough to run tests at full stereo CD quality." + help,
      "not fast enough to run tests at full stereo CD quality." + help,
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    Create();
    Dialogs.Messages.clear();
    Clock.Reads = 0;
    Run(cases[i].dt, cases[i].answers);
    ASSERT_FALSE(Dialogs.Messages.empty()) << cases[i].dt;
    EXPECT_EQ(Dialogs.Messages[0], "It took " + std::string(cases[i].text) + tail + verdicts[i]) << cases[i].dt;
    EXPECT_EQ(Asked(), cases[i].asked) << cases[i].dt;
  }
}

TEST_F(PerformanceTest, AFastComputerThatHandlesEverythingIsCongratulatedAt44100) {
  Run(5000, {R::OK, R::OK, R::OK, R::Yes, R::No, R::OK, R::No});
  EXPECT_EQ(Asked(), (std::vector<std::string>{Intro, First, FastFirst, Heard, Froze, FastLast, Froze}));
  EXPECT_EQ(Dialogs.ConfirmHelp, (std::vector<int>{2, 2, 2, 0, 0, 0, 0})) << "the last prompt has no help";
  EXPECT_EQ(Dialogs.Messages.back(),
            "Congratulations, your computer can handle the most complex signal generation at CD quality and is "
            "perfectly suitable for use with this program.");
  EXPECT_EQ(RateEntry(), kRate44100);
  EXPECT_GE(Device.CountOf("Open"), 2) << "both test signals played";
  EXPECT_FALSE(Gen->AudioOut1->Active);
  EXPECT_EQ(Gen->Memory3.Caption(), "1 kHz Stereo Mod") << "the test's presets were loaded";
}

TEST_F(PerformanceTest, NoToneOnTheFastPathStillRunsTheLastTest) {
  Device.Names = {"Test Card"};
  Create();
  Run(5000, {R::OK, R::OK, R::OK, R::No, R::OK, R::Yes});
  EXPECT_EQ(Asked(), (std::vector<std::string>{Intro, First, FastFirst, Heard, FastLast, Froze}));
  EXPECT_EQ(Dialogs.Messages[1],
            "If you did not hear anything, your sound card (System Default) cannot play 16 bit files at 44.1kHz, "
            "which is very unusual. You could try other sampling rates.");
  EXPECT_EQ(Dialogs.Messages.back(),
            "Your computer might be too slow for 44.1 kHz sampling frequency. The program will be set to 22.05kHz "
            "samplingrate");
  EXPECT_EQ(RateEntry(), kRate22050);
}

TEST_F(PerformanceTest, AFreezeOnTheFirstStereoPlaybackSets22050) {
  Run(5000, {R::OK, R::OK, R::OK, R::Yes, R::Yes});
  EXPECT_EQ(Dialogs.Messages.back(),
            "Your computer might be too slow for 44.1 kHz sampling frequency stereo signals. Please choose a lower "
            "samplingrate in \"Compatibility settings\" when playing stereo signals");
  EXPECT_EQ(RateEntry(), kRate22050);
}

TEST_F(PerformanceTest, TheSlowPathPlaysMonoAt22050ThenAt44100) {
  Run(12000, {R::OK, R::OK, R::OK, R::No, R::OK, R::Yes, R::Yes});
  EXPECT_EQ(Asked(), (std::vector<std::string>{Intro, First, SlowFirst, Heard, SlowLast, Heard, Froze}));
  EXPECT_EQ(Dialogs.Messages[1],
            "If you did not hear anything, your sound card (System Default) cannot play 16 bit files at 22.05kHz. "
            "You could try other sampling rates.");
  EXPECT_EQ(Dialogs.Messages.back(),
            "Your computer might be too slow for 44.1 kHz sampling frequency modulated stereo signals. Please "
            "choose a lower samplingrate in \"Compatibility settings\" when playing modulated stereo signals");
  EXPECT_EQ(RateEntry(), kRate22050);
  EXPECT_EQ(Gen->cboChannels.ItemIndex(), cmMono) << "memory 1 is mono";
}

TEST_F(PerformanceTest, TheSlowPathEndsWhenNoToneIsHeardAt44100) {
  Run(12000, {R::OK, R::OK, R::OK, R::Yes, R::OK, R::No});
  EXPECT_EQ(Dialogs.Messages.back(),
            "If you did not hear anything, your sound card (System Default) cannot play 16 bit mono files at "
            "44.1kHz, which is very unusual. You could try other sampling rates.");
  EXPECT_EQ(RateEntry(), kRate44100);
}

TEST_F(PerformanceTest, CancelRestoresTheRateExceptOnTheFastPath) {
  struct TCase { uint32_t dt; std::vector<R> answers; int rate; };
  for (const TCase& c : {TCase{5000, {R::Cancel}, kRate96000}, TCase{5000, {R::OK, R::Cancel}, kRate96000},
                         TCase{12000, {R::OK, R::OK, R::Cancel}, kRate96000},
                         TCase{12000, {R::OK, R::OK, R::OK, R::Yes, R::Cancel}, kRate96000},
                         TCase{5000, {R::OK, R::OK, R::Cancel}, kRate44100},
                         TCase{5000, {R::OK, R::OK, R::OK, R::Yes, R::No, R::Cancel}, kRate44100}}) {
    Create();
    Clock.Reads = 0;
    Run(c.dt, c.answers);
    EXPECT_EQ(RateEntry(), c.rate) << c.dt << " after " << c.answers.size() << " answers";
  }
}

TEST_F(PerformanceTest, WithoutItsPresetFileTheTestSaysSoAndChangesNothing) {
  TTempDir empty;
  App.ExeName = empty.File("zephyra");
  Run(5000, {R::OK});
  EXPECT_EQ(Dialogs.Messages,
            std::vector<std::string>{"Preset file not found. Please re-install application before trying again."});
  EXPECT_EQ(RateEntry(), kRate96000);
  EXPECT_EQ(Gen->Memory1.Caption(), "Memory 1");
}

TEST_F(PerformanceTest, AutostartMakesTheRecallPlayAndTheWaitCoversIt) {
  Gen->AutostartRecalledPresets1.Click();
  Run(5000, {R::OK, R::OK, R::OK, R::Yes, R::No, R::OK, R::No});
  EXPECT_EQ(Dialogs.Messages.back().rfind("Congratulations", 0), 0u);
  EXPECT_FALSE(Gen->AudioOut1->Active);
}

}  // namespace
