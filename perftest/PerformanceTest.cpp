#include "perftest/PerformanceTest.h"

#include "engine/Numbers.h"
#include "perftest/PerformanceTarget.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/MessageLoop.h"

#include <filesystem>

namespace {

constexpr int kHelp = 2;
constexpr int kNoHelp = 0;
/// Milliseconds that the 10 s signal may take: up to the first fast enough,
/// up to the second marginally fast enough.
constexpr uint32_t kFastMs = 9000;
constexpr uint32_t kRealTimeMs = 10000;
/// How long a wait for the end of a playback sleeps between looks.
constexpr int kWaitSliceMs = 20;

constexpr const char* Intro =
    "This test will check the performance and compatibility of your computer. Please set your loudspeaker volume "
    "to a low but audible level. Press OK to start or cancel to abort.";
constexpr const char* NotFound = "Preset file not found. Please re-install application before trying again.";
constexpr const char* NotAPresetFile =
    "The preset file \"Compatibility Test.kav\" is damaged. Please re-install application before trying again.";
constexpr const char* FirstTest =
    "First test: Measuring the time it takes to generate a stereo 10 second tone at 44.1kHz Sampling frequency "
    "(CD quality). If this is well under 10 seconds, your computer is fine for CD quality signals.";
constexpr const char* Took = " seconds to generate a 10 second stereo CD quality signal. Your computer is ";
constexpr const char* CheckHelp = " Check the help files for possible improvements.";
constexpr const char* SlowFirst =
    "Next test: A 5 second, 1kHz mono sine wave signal at 22050Hz sampling frequency. Please do not touch any of "
    "the controls during play.";
constexpr const char* SlowLast =
    "Last test: A 5 second, 1kHz MONO sine wave signal at 44.1 kHz sampling frequency. Check if your computer "
    "freezes or fails to respond during signal playback. Please try to move the Generator window around on the "
    "desktop.";
constexpr const char* FastFirst =
    "Next test: A 5 sec stereo wave at 44.1 kHz sampling rate. Check if your computer freezes or fails to respond "
    "during signal playback. Please do not touch any of the controls during play, but do try to move the "
    "Generator window on the desktop.";
constexpr const char* FastLast =
    "Last test: A 5 second, 1kHz stereo MODULATED sine wave signal at 44.1 kHz sampling frequency. Check if your "
    "computer freezes or fails to respond during signal playback. Please try to move the Generator window around "
    "on the desktop.";
constexpr const char* HeardTone = "Did you hear any tone at all?";
constexpr const char* Froze = "Did your computer stop to respond or freeze during playback?";
constexpr const char* TooSlowModulated =
    "Your computer might be too slow for 44.1 kHz sampling frequency modulated stereo signals. Please choose a "
    "lower samplingrate in \"Compatibility settings\" when playing modulated stereo signals";
constexpr const char* TooSlowStereo =
    "Your computer might be too slow for 44.1 kHz sampling frequency stereo signals. Please choose a lower "
    "samplingrate in \"Compatibility settings\" when playing stereo signals";
constexpr const char* TooSlow =
    "Your computer might be too slow for 44.1 kHz sampling frequency. The program will be set to 22.05kHz "
    "samplingrate";
constexpr const char* Congratulations =
    "Congratulations, your computer can handle the most complex signal generation at CD quality and is perfectly "
    "suitable for use with this program.";

}  // namespace

std::string TimingResult(uint32_t dtMs, const TNumberFormat& format) {
  std::string verdict;
  if (dtMs <= kFastMs)
    verdict = "fast enough to run tests at full stereo CD quality.";
  else if (dtMs <= kRealTimeMs)
    verdict = std::string("marginally fast enough to run tests at full stereo CD quality.") + CheckHelp;
  else
    verdict = std::string("not fast enough to run tests at full stereo CD quality.") + CheckHelp;
  return "It took " + FloatToStrGeneral(dtMs / 1000.0L, format) + Took + verdict;
}

void TPerformanceTest::Run() {
  if (!Prompt(Intro, kHelp)) return;
  const std::string file = FTarget.CompatibilityFile();
  if (file.empty() || !std::filesystem::is_regular_file(file)) {
    FDialogs.ShowMessage(NotFound);
    return;
  }
  // A file that is no preset file would leave the memories as they were,
  // and the test would measure whatever they hold.
  if (!FTarget.LoadSettings(file)) {
    FDialogs.ShowMessage(NotAPresetFile);
    return;
  }
  const int32_t savedRate = FTarget.RateEntry();
  FTarget.SelectRate(44100);
  FTarget.MemRecall(4);
  if (!Prompt(FirstTest, kHelp)) {
    FTarget.SelectRateEntry(savedRate);
    return;
  }
  const uint32_t start = FClock.TickCount();
  FTarget.ExportToNullDevice();
  const uint32_t dt = FClock.TickCount() - start;
  FDialogs.ShowMessage(TimingResult(dt, FFormat));
  if (dt > kRealTimeMs)
    SlowComputer(savedRate);
  else if (dt < kRealTimeMs)
    FastComputer();
}

void TPerformanceTest::SlowComputer(int32_t savedRate) {
  FTarget.MemRecall(1);
  FTarget.SelectRate(22050);
  if (!Prompt(SlowFirst, kHelp)) {
    FTarget.SelectRateEntry(savedRate);
    return;
  }
  WaitForPlayback();
  if (!Yes(HeardTone))
    FDialogs.ShowMessage(NoTone("cannot play 16 bit files at 22.05kHz. You could try other sampling rates."));
  FTarget.SelectRate(44100);
  if (!Prompt(SlowLast, kHelp)) {
    FTarget.SelectRateEntry(savedRate);
    return;
  }
  WaitForPlayback();
  if (!Yes(HeardTone)) {
    FDialogs.ShowMessage(
        NoTone("cannot play 16 bit mono files at 44.1kHz, which is very unusual. You could try other sampling rates."));
    return;
  }
  if (Yes(Froze)) {
    FDialogs.ShowMessage(TooSlowModulated);
    FTarget.SelectRate(22050);
  }
}

void TPerformanceTest::FastComputer() {
  FTarget.MemRecall(2);
  if (!Prompt(FastFirst, kHelp)) return;
  WaitForPlayback();
  if (!Yes(HeardTone)) {
    FDialogs.ShowMessage(
        NoTone("cannot play 16 bit files at 44.1kHz, which is very unusual. You could try other sampling rates."));
  } else if (Yes(Froze)) {
    FDialogs.ShowMessage(TooSlowStereo);
    FTarget.SelectRate(22050);
    return;
  }
  FTarget.MemRecall(3);
  if (!Prompt(FastLast, kNoHelp)) return;
  WaitForPlayback();
  if (Yes(Froze)) {
    FDialogs.ShowMessage(TooSlow);
    FTarget.SelectRate(22050);
  } else {
    FDialogs.ShowMessage(Congratulations);
  }
}

bool TPerformanceTest::Prompt(const std::string& text, int helpContext) {
  return FDialogs.Confirm(text, TMsgButtons::OKCancel, helpContext) == TModalResult::OK;
}

bool TPerformanceTest::Yes(const std::string& question) {
  return FDialogs.Confirm(question, TMsgButtons::YesNo, kNoHelp) == TModalResult::Yes;
}

void TPerformanceTest::WaitForPlayback() {
  FTarget.StartSignal();
  while (FTarget.OutputActive()) {
    FLoop.ProcessMessages();
    if (FTarget.OutputActive()) FLoop.Sleep(kWaitSliceMs);
  }
}

std::string TPerformanceTest::NoTone(const std::string& what) {
  return "If you did not hear anything, your sound card (" + FTarget.DeviceText() + ") " + what;
}
