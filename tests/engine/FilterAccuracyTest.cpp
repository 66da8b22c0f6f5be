#include "engine/ChannelFilter.h"
#include "engine/ChannelSettings.h"
#include "engine/RandomLcg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// An independent model of the channel filter: the same cookbook designs,
// computed and run entirely in double precision with unrounded history.
struct TDoubleBiquad {
  double b0, b1, b2, a0, a1, a2;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

  TDoubleBiquad(int32_t type, double f0, double q, double gainDb, int32_t rate) {
    const double w0 = 2 * std::numbers::pi * f0 / rate;
    const double c = std::cos(w0), alpha = std::sin(w0) / (2 * q);
    const double a = std::pow(10.0, (gainDb == 0 ? 0.02 : gainDb) / 40);
    switch (type) {
      case ftPeaking: Set(1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a); break;
      case ftHighPass: Set((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha); break;
      default: Set((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha); break;  // Low Pass
    }
  }
  void Set(double nb0, double nb1, double nb2, double na0, double na1, double na2) {
    b0 = nb0; b1 = nb1; b2 = nb2; a0 = na0; a1 = na1; a2 = na2;
  }
  double Step(double x) {
    const double y = (b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2) / a0;
    x2 = x1; x1 = x; y2 = y1; y1 = y;
    return y;
  }
};

struct TAccuracy {
  double errorRms, signalRms, outputRms;
};

// Five seconds of 16-bit full-scale white noise through the engine's filter
// and through the double model.
TAccuracy Measure(int32_t type, double f0, double q, double gainDb, int32_t rate) {
  ChannelFilter engine;
  SetFilterInputs(engine, f0, q, gainDb, rate);
  DesignFilter(engine, type);
  TDoubleBiquad model(type, engine.F0, q, gainDb, rate);
  TRandomLcg random;
  random.Seed(2024);
  double error = 0, signal = 0, output = 0;
  const int64_t n = 5 * int64_t{rate};
  for (int64_t i = 0; i < n; ++i) {
    const int32_t x = static_cast<int32_t>(std::lrint((2 * random.Next() - 1) * 32767));
    const double expected = model.Step(x);
    const double actual = FilterStep(engine, x);
    error += (actual - expected) * (actual - expected);
    signal += expected * expected;
    output += actual * actual;
  }
  return {std::sqrt(error / n), std::sqrt(signal / n), std::sqrt(output / n)};
}

struct TCase {
  const char* name;
  int32_t type;
  double f0;
  double gainDb;
  int32_t rate;
};

void PrintTo(const TCase& c, std::ostream* os) { *os << c.name; }

class FilterAccuracy : public testing::TestWithParam<TCase> {};

// Feedback of rounded outputs made these filters drift, wrap or fall
// silent; kept unrounded they follow the double model to within rounding.
TEST_P(FilterAccuracy, StaysWithinOneLsbRmsOfTheDoubleModel) {
  const TCase c = GetParam();
  const TAccuracy a = Measure(c.type, c.f0, 1, c.gainDb, c.rate);
  EXPECT_LT(a.errorRms, 1.0) << "signal RMS " << a.signalRms;
}

INSTANTIATE_TEST_SUITE_P(
    LowFrequencyAndNyquist, FilterAccuracy,
    testing::Values(TCase{"HighPass20Hz44k", ftHighPass, 20, 0, 44100},
                    TCase{"HighPass20Hz192k", ftHighPass, 20, 0, 192000},
                    TCase{"HighPass1Hz192k", ftHighPass, 1, 0, 192000},
                    TCase{"LowPass20Hz44k", ftLowPass, 20, 0, 44100},
                    TCase{"LowPass20Hz192k", ftLowPass, 20, 0, 192000},
                    TCase{"Peaking20Hz", ftPeaking, 20, -10, 44100},
                    TCase{"Peaking1kHz", ftPeaking, 1000, -10, 44100},
                    TCase{"LowPassAtHalfTheRate", ftLowPass, 22050, 0, 44100},
                    TCase{"PeakingAtHalfTheRate", ftPeaking, 22050, 6, 44100}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(FilterAccuracyOfLowPass, TwentyHertzOfWhiteNoiseIsNotSilent) {
  const TAccuracy a = Measure(ftLowPass, 20, 1, 0, 44100);
  EXPECT_GT(a.outputRms, 0.9 * a.signalRms);
  EXPECT_GT(a.outputRms, 100);
}

}  // namespace
