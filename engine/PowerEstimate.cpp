#include "engine/PowerEstimate.h"

#include "engine/FloatRounding.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Fractional exponents: x^p = 2^(p log2 x).
// log2 x = e + log2 c + log2(1 + r), c the centre of one of 256 slices of
// [1, 2) and r = m / c - 1, |r| <= 2^-9; the series to r^5 leaves 2^-56.
// 2^y = 2^(k/256) x e^f, |f| <= ln2 / 512; the series to f^4 leaves 2^-56.
// The rest is a few double roundings; with p <= 2 and |y| <= 300 that is
// below 2^-44 relative. Whole and half exponents go by multiplication and
// one square root instead, within 2^-48 for p <= 64.
constexpr int LogSlices = 256;
constexpr int ExpSteps = 256;

struct TTables {
  double inverseCentre[LogSlices];
  double log2Centre[LogSlices];
  double exp2Step[ExpSteps];
  TTables() {
    for (int i = 0; i < LogSlices; ++i) {
      const long double centre = 1 + (i + 0.5L) / LogSlices;
      inverseCentre[i] = static_cast<double>(1 / centre);
      // log2 of the centre that inverseCentre really stands for.
      log2Centre[i] = static_cast<double>(-log2l(static_cast<long double>(inverseCentre[i])));
    }
    for (int j = 0; j < ExpSteps; ++j)
      exp2Step[j] = static_cast<double>(exp2l(static_cast<long double>(j) / ExpSteps));
  }
};

const TTables Tables;

constexpr double InvLn2 = 1.4426950408889634074;
constexpr double Ln2 = 0.69314718055994530942;

inline double Log2(float x) noexcept {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  int exponent = static_cast<int>(bits >> 23) - 127;
  if (exponent == -127) {  // subnormal: normalise first
    const float scaled = x * 0x1p24f;
    std::memcpy(&bits, &scaled, sizeof bits);
    exponent = static_cast<int>(bits >> 23) - 127 - 24;
  }
  const uint32_t mantissaBits = bits & 0x7FFFFF;
  const int slice = static_cast<int>(mantissaBits >> 15);
  const double m = 1 + mantissaBits * 0x1p-23;
  const double r = m * Tables.inverseCentre[slice] - 1;
  // log(1 + r) = r - r^2/2 + r^3/3 - r^4/4 + r^5/5, evaluated in pairs.
  const double r2 = r * r;
  const double series = r + r2 * ((-0.5 + r * (1.0 / 3)) + r2 * (-0.25 + r * 0.2));
  return exponent + (Tables.log2Centre[slice] + series * InvLn2);
}

inline double Exp2(double y) noexcept {
  if (y < -160) return 0;
  const double k = NearestIntegerDouble(y * ExpSteps);
  const double f = (y - k / ExpSteps) * Ln2;
  const int64_t steps = static_cast<int64_t>(k);
  const int64_t whole = steps >> 8;  // floor division by 256
  const int step = static_cast<int>(steps & (ExpSteps - 1));
  // e^f = 1 + f + f^2/2 + f^3/6 + f^4/24, evaluated in pairs.
  const double f2 = f * f;
  const double series = (1 + f) + f2 * ((0.5 + f * (1.0 / 6)) + f2 * (1.0 / 24));
  const uint64_t scaleBits = static_cast<uint64_t>(whole + 1023) << 52;
  double scale;
  std::memcpy(&scale, &scaleBits, sizeof scale);
  return Tables.exp2Step[step] * series * scale;
}

// x^n by repeated squaring, n >= 0.
inline double WholePower(double x, uint32_t n) noexcept {
  double result = 1;
  for (; n != 0; n >>= 1, x *= x)
    if (n & 1) result *= x;
  return result;
}

}  // namespace

double PowerEstimate(float x, float p) noexcept {
  const float twice = 2 * p;
  const uint32_t half = p <= 64 ? static_cast<uint32_t>(twice) : 0;
  if (p <= 64 && static_cast<float>(half) == twice) {
    const double whole = WholePower(x, half >> 1);
    return (half & 1) ? whole * std::sqrt(static_cast<double>(x)) : whole;
  }
  return Exp2(p * Log2(x));
}
