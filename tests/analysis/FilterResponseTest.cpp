// The designed response of each filter type against the cookbook's values:
// at F0 the exact gains the designs are built for, a decade below F0 the
// analog prototype (the bilinear transform's warping is 0.14 % there at
// 48 kHz, far below the tolerance).

#include "analysis/FilterResponse.h"
#include "engine/ChannelSettings.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int32_t Rate = 48000;

ChannelFilter Design(int32_t type, double f0, double q, double gainDb) {
  ChannelFilter f;
  SetFilterInputs(f, f0, q, gainDb, Rate);
  DesignFilter(f, type);
  return f;
}

double Db(double magnitude) { return 20 * std::log10(magnitude); }

// Analog second-order sections at x = f / F0.
double LowPass(double x, double q) { return Db(1 / std::hypot(1 - x * x, x / q)); }
double HighPass(double x, double q) { return Db(x * x / std::hypot(1 - x * x, x / q)); }
double BandPass(double x, double q) { return Db((x / q) / std::hypot(1 - x * x, x / q)); }
double Peaking(double x, double q, double gainDb) {
  const double a = std::pow(10.0, gainDb / 40);
  return Db(std::hypot(1 - x * x, x * a / q) / std::hypot(1 - x * x, x / (a * q)));
}
double Notch(double x, double q) { return Db(std::abs(1 - x * x) / std::hypot(1 - x * x, x / q)); }

struct TResponseCase {
  const char* name;
  int32_t type;
  double q, gainDb;
  double atF0Db;      // the value the cookbook design gives at F0
  double decadeBelowDb;
};

const TResponseCase Cases[] = {
    {"Peaking -10 dB", ftPeaking, 3, -10, -10.0, Peaking(0.1, 3, -10)},
    {"Peaking +6 dB", ftPeaking, 0.7, 6, 6.0, Peaking(0.1, 0.7, 6)},
    {"Peaking 0 dB is 0.02 dB", ftPeaking, 1, 0, 0.02, Peaking(0.1, 1, 0.02)},
    {"Low Pass Q 0.7071", ftLowPass, 0.70710678, 0, -3.0103, LowPass(0.1, 0.70710678)},
    {"Low Pass Q 2", ftLowPass, 2, 0, Db(2), LowPass(0.1, 2)},
    {"High Pass Q 0.7071", ftHighPass, 0.70710678, 0, -3.0103, HighPass(0.1, 0.70710678)},
    {"Band Pass Q 2", ftBandPass, 2, 0, 0.0, BandPass(0.1, 2)},
    {"Notch Q 2", ftNotch, 2, 0, -INFINITY, Notch(0.1, 2)},
};

TEST(FilterResponse, EachTypeAtF0AndADecadeBelow) {
  for (const TResponseCase& c : Cases) {
    SCOPED_TRACE(c.name);
    const ChannelFilter f = Design(c.type, 1000, c.q, c.gainDb);
    const double atF0 = DesignedResponseDb(f, c.type, 1000, Rate);
    if (std::isfinite(c.atF0Db))
      EXPECT_NEAR(atF0, c.atF0Db, 0.001);
    else
      EXPECT_LT(atF0, -100) << "a notch removes its frequency";
    EXPECT_NEAR(DesignedResponseDb(f, c.type, 100, Rate), c.decadeBelowDb, 0.05);
  }
}

TEST(FilterResponse, PassBandsReachTheirEnds) {
  EXPECT_NEAR(DesignedResponseDb(Design(ftLowPass, 1000, 1, 0), ftLowPass, 0, Rate), 0.0, 1e-9);
  EXPECT_NEAR(DesignedResponseDb(Design(ftHighPass, 1000, 1, 0), ftHighPass, Rate / 2.0, Rate), 0.0, 1e-9);
  EXPECT_EQ(DesignedResponseDb(Design(ftHighPass, 1000, 1, 0), ftHighPass, 0, Rate), -INFINITY);
}

TEST(FilterResponse, NoneIsFlatWhateverCoefficientsItKept) {
  const ChannelFilter peaking = Design(ftPeaking, 1000, 3, -10);
  for (double hz : {20.0, 1000.0, 20000.0}) EXPECT_EQ(DesignedResponseDb(peaking, ftNone, hz, Rate), 0.0);
}

}  // namespace
