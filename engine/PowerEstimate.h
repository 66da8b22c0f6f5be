#pragma once

#include "engine/FloatRounding.h"

#include <cmath>
#include <cstdint>
#include <cstring>

/// x^p for 0 < x <= 1 and 0 < p <= 64 in double, within 2^-40 relative of
/// the true value. Results below 2^-160 come back as 0, or from whole and
/// half exponents as some double below 2^-151: both round to float 0 as the
/// true value does. The crest shaping's fast path, inline because it runs
/// for every sample.
inline double PowerEstimate(float x, float p) noexcept;

/// |values[j]|^p into out[j] for j < count (0 where the value is 0), within
/// the bound of PowerEstimate; 0 < p <= 64. Fractional exponents run four
/// values side by side on processors with 256-bit registers and fused
/// multiply-add (their own rounding, not always PowerEstimate's double),
/// else two with PowerEstimate's very values.
void PowerEstimates(const float* values, int32_t count, float p, double* out) noexcept;

/// PowerEstimates with two values side by side on every processor: the
/// doubles of PowerEstimate.
void PowerEstimatesTwoAtATime(const float* values, int32_t count, float p, double* out) noexcept;

// Fractional exponents: x^p = 2^(p log2 x).
// log2 x = e + log2 c + log2(1 + r), c the centre of one of 256 slices of
// [1, 2) and r = m / c - 1, |r| <= 2^-9; the series to r^5 leaves 2^-56.
// 2^y = 2^(k/256) x e^f, |f| <= ln2 / 512; the series to f^4 leaves 2^-56.
// The rest is a few double roundings; with p <= 2 and |y| <= 300 that is
// below 2^-44 relative. Whole and half exponents go by multiplication and
// one square root instead, within 2^-48 for p <= 64.
// The four-lane path divides in 32 bits instead of looking up the inverse:
// its slices' inverses are the floats 1 / centre, and log2Inverse holds
// -log2 of those floats.
struct TPowerTables {
  static constexpr int LogSlices = 256;
  static constexpr int ExpSteps = 256;
  double inverseCentre[LogSlices];
  double log2Centre[LogSlices];
  double log2Inverse[LogSlices];
  double exp2Step[ExpSteps];
  TPowerTables();
};

extern const TPowerTables PowerTables;

namespace power_detail {

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
  const double r = m * PowerTables.inverseCentre[slice] - 1;
  // log(1 + r) = r - r^2/2 + r^3/3 - r^4/4 + r^5/5, evaluated in pairs.
  const double r2 = r * r;
  const double series = r + r2 * ((-0.5 + r * (1.0 / 3)) + r2 * (-0.25 + r * 0.2));
  return exponent + (PowerTables.log2Centre[slice] + series * InvLn2);
}

inline double Exp2(double y) noexcept {
  if (y < -160) return 0;
  const double k = NearestIntegerDouble(y * TPowerTables::ExpSteps);
  const double f = (y - k / TPowerTables::ExpSteps) * Ln2;
  const int64_t steps = static_cast<int64_t>(k);
  const int64_t whole = steps >> 8;  // floor division by 256
  const int step = static_cast<int>(steps & (TPowerTables::ExpSteps - 1));
  // e^f = 1 + f + f^2/2 + f^3/6 + f^4/24, evaluated in pairs.
  const double f2 = f * f;
  const double series = (1 + f) + f2 * ((0.5 + f * (1.0 / 6)) + f2 * (1.0 / 24));
  const uint64_t scaleBits = static_cast<uint64_t>(whole + 1023) << 52;
  double scale;
  std::memcpy(&scale, &scaleBits, sizeof scale);
  return PowerTables.exp2Step[step] * series * scale;
}

// x^n by repeated squaring.
inline double WholePower(double x, uint32_t n) noexcept {
  double result = 1;
  for (; n != 0; n >>= 1, x *= x)
    if (n & 1) result *= x;
  return result;
}

}  // namespace power_detail

inline double PowerEstimate(float x, float p) noexcept {
  const float twice = 2 * p;
  const uint32_t half = p <= 64 ? static_cast<uint32_t>(twice) : 0;
  if (p <= 64 && static_cast<float>(half) == twice) {
    const double whole = power_detail::WholePower(x, half >> 1);
    return (half & 1) ? whole * std::sqrt(static_cast<double>(x)) : whole;
  }
  return power_detail::Exp2(p * power_detail::Log2(x));
}
