#include "engine/ChannelSettings.h"
#include "engine/PowerEstimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

float FloatOfBits(uint32_t bits) {
  float x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// Magnitudes over [2^-30, 1]: every binary exponent with random mantissas,
// both ends of every table slice, the edges of the range, and subnormals and
// zeros mixed in so that the block path meets them in every lane. Signs
// alternate (the estimate takes the magnitude); `count` values in all.
std::vector<float> PowerTestValues(uint32_t seed, size_t count) {
  std::vector<float> values = {1.0f, 0x1p-30f, 0x1p-126f, 0x1p-149f, 0x1.8p-140f, 0.0f, 0.99999994f, 0.5f};
  for (uint32_t exponent = 127 - 30; exponent < 127; ++exponent)
    for (uint32_t slice = 0; slice < 256; ++slice)
      for (uint32_t edge : {0u, 0x7FFFu, 0x4000u})
        values.push_back(FloatOfBits(exponent << 23 | slice << 15 | edge));
  uint32_t lcg = seed;
  while (values.size() < count) {
    lcg = lcg * 134775813u + 1;
    const uint32_t exponent = 127 - 30 + (lcg >> 8) % 30;
    lcg = lcg * 134775813u + 1;
    values.push_back(FloatOfBits(exponent << 23 | (lcg >> 9)));
    if (values.size() % 4099 == 0) values.push_back(values.size() % 3 == 0 ? 0.0f : FloatOfBits(lcg >> 12));
  }
  for (size_t j = 1; j < values.size(); j += 2) values[j] = -values[j];
  return values;
}

// The largest relative error of the block estimates against the extended
// power, where that is at least 2^-151; below, the estimate must round to
// float 0 as the power does.
long double WorstRelativeError(const std::vector<float>& values, float p) {
  std::vector<double> estimates(values.size());
  PowerEstimates(values.data(), static_cast<int32_t>(values.size()), p, estimates.data());
  long double worst = 0;
  for (size_t j = 0; j < values.size(); ++j) {
    const long double exact = powl(fabsl(values[j]), p);
    if (exact < 0x1p-151L) {
      EXPECT_LT(estimates[j], 0x1p-150) << values[j] << " ^ " << p;
      continue;
    }
    worst = std::max(worst, fabsl(estimates[j] - exact) / exact);
  }
  return worst;
}

TEST(PowerEstimates, StayWithinTheirBoundForEveryCrestExponent) {
  // The shaping trusts the estimates to 2^-40; their error analysis gives
  // below 2^-44, so 2^-43 leaves room and still catches a lost term.
  std::vector<float> exponents(PinkCrestExponents, PinkCrestExponents + CrestChoiceCount);
  exponents.insert(exponents.end(), WhiteCrestExponents, WhiteCrestExponents + CrestChoiceCount);
  exponents.push_back(63.3f);  // the largest fractional exponent the estimate takes
  // Half a million values per fractional exponent, 4 million in all (the
  // extended power takes most of the time); whole and half exponents take
  // another path, where fewer are enough.
  uint32_t seed = 1;
  for (float p : exponents) {
    const bool fractional = p != std::floor(2 * p) / 2;
    const std::vector<float> values = PowerTestValues(seed++, fractional ? (1u << 19) : 40000);
    EXPECT_LT(WorstRelativeError(values, p), 0x1p-43L) << "exponent " << p;
  }
}

}  // namespace
