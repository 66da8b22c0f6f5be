// Levels of signals whose answers are known in closed form.

#include "analysis/LevelMeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

namespace {

constexpr double FullScale = 32767;
constexpr int64_t Rate = 48000;

TLevelSums SumsOf(int64_t frames, const std::function<int32_t(int64_t)>& sample) {
  TLevelSums sums;
  for (int64_t n = 0; n < frames; ++n) sums.Add(sample(n));
  return sums;
}

int32_t Square(int64_t n) { return (n / 24) % 2 == 0 ? 32767 : -32767; }  // 1 kHz at 48 kHz
int32_t Sine(int64_t n) {
  // 997 Hz: not a divisor of the rate, so the peaks fall anywhere near +-1.
  return static_cast<int32_t>(std::lround(32767 * std::sin(2 * std::numbers::pi * 997 * n / Rate)));
}
int32_t Silence(int64_t) { return 0; }

struct TKnownSignal {
  const char* name;
  int32_t (*sample)(int64_t);
  double rmsDb, peakDb, crest;
  const char* rmsText;
  const char* crestText;
};

// A full-scale square has RMS = peak (0 dBFS, 1:1); a sine's peak is sqrt 2
// times its RMS (3.01 dB); silence has no level and no crest factor.
const TKnownSignal KnownSignals[] = {
    {"square", Square, 0.0, 0.0, 1.0, "0.00", "1.00:1"},
    {"sine", Sine, -3.0103, 0.0, std::sqrt(2.0), "-3.01", "1.41:1"},
    {"silence", Silence, -INFINITY, -INFINITY, 0.0, "-inf", "-"},
};

TEST(Levels, KnownSignalsOverOneSecond) {
  for (const TKnownSignal& s : KnownSignals) {
    SCOPED_TRACE(s.name);
    const TLevels l = LevelsOf(SumsOf(Rate, s.sample), FullScale);
    if (std::isfinite(s.rmsDb)) {
      EXPECT_NEAR(l.rmsDb, s.rmsDb, 0.005);
      EXPECT_NEAR(l.peakDb, s.peakDb, 0.005);
      EXPECT_NEAR(l.crest, s.crest, 0.002);
    } else {
      EXPECT_EQ(l.rmsDb, s.rmsDb);
      EXPECT_EQ(l.peakDb, s.peakDb);
      EXPECT_EQ(l.crest, 0.0);
    }
    EXPECT_EQ(DbText(l.rmsDb), s.rmsText);
    EXPECT_EQ(CrestRatioText(l.crest), s.crestText);
  }
}

TEST(Levels, TextsHaveTwoDecimalsWhateverTheMagnitude) {
  EXPECT_EQ(DbText(-12.0412), "-12.04");
  EXPECT_EQ(DbText(-100.0051), "-100.01");
  EXPECT_EQ(CrestText(9.949), "9.95");
  EXPECT_EQ(CrestText(0), "-");
}

/// A meter fed stretches of 10 ms, as the output's buffers would.
class MeterWindow : public ::testing::Test {
protected:
  static constexpr int64_t Stretch = Rate / 100;
  void SetUp() override { Meter.Reset(Rate * 3 / 10, Rate * 2, Stretch, FullScale); }
  void Play(double seconds, int32_t amplitude) {
    for (int64_t i = 0; i < std::llround(seconds * 100); ++i)
      Meter.Add(SumsOf(Stretch, [amplitude](int64_t n) { return n % 2 ? amplitude : -amplitude; }));
  }
  TLevelMeter Meter;
};

TEST_F(MeterWindow, StartsSilent) {
  EXPECT_EQ(Meter.Levels().rmsDb, -INFINITY);
  EXPECT_EQ(Meter.HeldPeakDb(), -INFINITY);
}

TEST_F(MeterWindow, TheFiguresCoverTheLast300Milliseconds) {
  Play(1.0, 32767);
  Play(0.29, 3277);  // -20 dBFS
  EXPECT_NEAR(Meter.Levels().peakDb, 0.0, 0.01) << "one loud stretch is still inside the window";
  Play(0.01, 3277);
  EXPECT_NEAR(Meter.Levels().rmsDb, -20.0, 0.01);
  EXPECT_NEAR(Meter.Levels().peakDb, -20.0, 0.01);
  EXPECT_NEAR(Meter.Levels().crest, 1.0, 1e-9);
}

TEST_F(MeterWindow, ThePeakIsHeldForTwoSecondsThenFalls) {
  Play(0.1, 32767);
  Play(2.0, 3277);
  EXPECT_NEAR(Meter.HeldPeakDb(), 0.0, 0.01) << "2 s after the loud part";
  Play(0.02, 3277);
  EXPECT_NEAR(Meter.HeldPeakDb(), -20.0, 0.01);
  Play(0.1, 16384);
  EXPECT_NEAR(Meter.HeldPeakDb(), -6.02, 0.01) << "a higher peak is held at once";
}

TEST_F(MeterWindow, TheHeldPeakFallsOnceTheWholeWindowIsSilent) {
  Play(0.1, 32767);
  Play(0.29, 0);
  EXPECT_NEAR(Meter.HeldPeakDb(), 0.0, 0.01) << "a gap shorter than the window keeps the tick";
  Play(0.01, 0);
  EXPECT_EQ(Meter.HeldPeakDb(), -INFINITY) << "nothing heard for 300 ms";
}

TEST_F(MeterWindow, AStretchLongerThanTheWindowIsMeasuredWhole) {
  Meter.Reset(Rate * 3 / 10, Rate * 2, Rate, FullScale);
  Meter.Add(SumsOf(Rate, [](int64_t n) { return n < Rate / 2 ? 32767 : 0; }));
  EXPECT_NEAR(Meter.Levels().rmsDb, -3.0103, 0.005);
}

}  // namespace
