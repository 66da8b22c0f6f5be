#include "engine/ChannelFilter.h"
#include "engine/ChannelSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace {

ChannelFilter Designed(int32_t type, double f0, double q, double gain, int32_t rate = 44100) {
  ChannelFilter f;
  SetFilterInputs(f, f0, q, gain, rate);
  DesignFilter(f, type);
  return f;
}

// Magnitude of the designed transfer function at `hz`, in dB.
double ResponseDb(const ChannelFilter& f, double hz, int32_t rate) {
  const std::complex<double> z = std::polar(1.0, -2 * std::numbers::pi * hz / rate);
  const auto h = (f.b0 + f.b1 * z + f.b2 * z * z) / (f.a0 + f.a1 * z + f.a2 * z * z);
  return 20 * std::log10(std::abs(h));
}

TEST(FilterDesign, PeakingExampleCutsTenDecibelsAtItsCentre) {
  const ChannelFilter f = Designed(ftPeaking, 1000, 3, -10);
  EXPECT_NEAR(f.w0, 0.142476, 1e-6);
  EXPECT_NEAR(f.A, 0.562341, 1e-6);
  EXPECT_NEAR(ResponseDb(f, 1000, 44100), -10.0, 1e-9);
  EXPECT_NEAR(ResponseDb(f, 100, 44100), 0.0, 0.1);
}

TEST(FilterDesign, PeakingAtZeroDecibelsIsASlightBoost) {
  const ChannelFilter f = Designed(ftPeaking, 1000, 1, 0);
  EXPECT_DOUBLE_EQ(f.A, std::pow(10.0, 0.02 / 40));
  EXPECT_NEAR(ResponseDb(f, 1000, 44100), 0.02, 1e-9);
}

TEST(FilterDesign, EachTypeHasItsShape) {
  EXPECT_NEAR(ResponseDb(Designed(ftHighPass, 1000, 1, 0), 50, 44100), -52, 1);
  EXPECT_NEAR(ResponseDb(Designed(ftHighPass, 1000, 1, 0), 10000, 44100), 0, 0.1);
  EXPECT_LT(ResponseDb(Designed(ftLowPass, 1000, 1, 0), 10000, 44100), -38);
  EXPECT_NEAR(ResponseDb(Designed(ftBandPass, 1000, 2, 0), 1000, 44100), 0, 1e-9);
  EXPECT_LT(ResponseDb(Designed(ftNotch, 1000, 2, 0), 1000, 44100), -100);
}

TEST(FilterDesign, ReportsWhichEditsItUses) {
  ChannelFilter f;
  SetFilterInputs(f, 1000, 3, -10, 44100);
  auto edits = [&](int32_t type) {
    const TFilterEdits e = DesignFilter(f, type);
    return std::vector<bool>{e.FZeroEnabled, e.GainEnabled, e.QEnabled, e.QTextBecomesOne};
  };
  EXPECT_EQ(edits(ftNone), (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(edits(ftPeaking), (std::vector<bool>{true, true, true, false}));
  EXPECT_EQ(edits(ftHighPass), (std::vector<bool>{true, false, false, true}));
  EXPECT_EQ(edits(ftLowPass), (std::vector<bool>{true, false, false, true}));
  EXPECT_EQ(edits(ftBandPass), (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(edits(ftNotch), (std::vector<bool>{true, false, true, false}));
}

TEST(FilterDesign, NoneAndTypesOutsideTheListKeepTheOldCoefficients) {
  ChannelFilter f = Designed(ftNotch, 500, 2, 0);
  const double b1 = f.b1, a2 = f.a2;
  for (int32_t type : {0, -1, 6, 99}) {
    SetFilterInputs(f, 3000, 1, 0, 44100);
    DesignFilter(f, type);
    EXPECT_EQ(f.b1, b1);
    EXPECT_EQ(f.a2, a2);
    EXPECT_FALSE(IsFilterActive(type));
  }
}

TEST(FilterDesign, ClampsInputsItCannotUse) {
  ChannelFilter f;
  SetFilterInputs(f, 30000, 0, 1e6, 44100);
  EXPECT_EQ(f.F0, 22050);
  EXPECT_EQ(f.Q, 0.01);
  EXPECT_EQ(f.gain, 200);
  SetFilterInputs(f, -5, 1e9, -1e6, 44100);
  EXPECT_EQ(f.F0, 1);
  EXPECT_EQ(f.Q, 100000);
  EXPECT_EQ(f.gain, -200);
  DesignFilter(f, ftPeaking);
  for (double c : {f.b0, f.b1, f.b2, f.a0, f.a1, f.a2}) EXPECT_TRUE(std::isfinite(c));
}

TEST(FilterDesign, HalfTheRateGivesAlphaZero) {
  const ChannelFilter f = Designed(ftBandPass, 22050, 1, 0);
  EXPECT_NEAR(f.alpha, 0, 1e-15);
}

TEST(FilterStep, CutsASineAtThePeakingCentreByTenDecibels) {
  ChannelFilter f = Designed(ftPeaking, 1000, 3, -10);
  double peak = 0;
  for (int n = 0; n < 44100; ++n) {
    const int32_t x = static_cast<int32_t>(std::lrint(30000 * std::sin(2 * std::numbers::pi * 1000 * n / 44100)));
    const int32_t y = FilterStep(f, x);
    if (n > 22050) peak = std::max(peak, std::fabs(double(y)));
  }
  EXPECT_NEAR(20 * std::log10(peak / 30000), -10, 0.05);
}

TEST(FilterStep, MovesTheHistoryOn) {
  ChannelFilter f = Designed(ftLowPass, 1000, 1, 0);
  FilterStep(f, 1000);
  const int32_t y = FilterStep(f, 2000);
  EXPECT_EQ(f.x1, 2000);
  EXPECT_EQ(f.x2, 1000);
  EXPECT_NEAR(f.y1, y, 0.5);  // kept unrounded
  SetFilterInputs(f, 1000, 1, 0, 44100);
  EXPECT_EQ(f.x1, 0);
  EXPECT_EQ(f.y1, 0);
}

}  // namespace
