#include "engine/NoiseSources.h"

#include "engine/FloatRounding.h"
#include "engine/PowerEstimate.h"

#include <cmath>

float CrestShape(float v, float exponent) noexcept {
  if (v == 0) return 0;
  const float magnitude = std::fabs(v);
  float shaped;
  const bool estimable = exponent > 0 && exponent <= 64;
  const double estimate = estimable ? PowerEstimate(magnitude, exponent) : 0;
  if (estimable && RoundsToSameFloat(estimate, estimate * 0x1p-40))
    shaped = static_cast<float>(estimate);
  else
    shaped = static_cast<float>(powl(magnitude, exponent));
  return v < 0 ? -shaped : shaped;
}

void CrestShapeEach(float* values, int32_t count, float exponent) noexcept {
  for (int32_t j = 0; j < count; ++j) values[j] = CrestShape(values[j], exponent);
}

float RawWhiteNoise(TRandomLcg& random) noexcept {
  return static_cast<float>(2 * random.Next() - 1);
}

float WhiteNoise(TRandomLcg& random, float exponent) noexcept {
  return CrestShape(RawWhiteNoise(random), exponent);
}

namespace {

struct TRowSchedule {
  uint32_t mask, match;
};

// Row i+1 is redrawn when (n AND mask) = match.
constexpr TRowSchedule PinkSchedule[12] = {
    {1, 1},     {3, 2},     {7, 4},       {15, 14},     {31, 15},      {63, 31},
    {127, 64},  {255, 129}, {255, 238},   {511, 474},   {1023, 875},   {2047, 1875}};

// The schedule repeats every 2048 frames; one table entry per frame of it.
struct TDueTable {
  uint16_t due[2048];
  constexpr TDueTable() : due() {
    for (uint32_t n = 0; n < 2048; ++n)
      for (int row = 0; row < 12; ++row)
        if ((n & PinkSchedule[row].mask) == PinkSchedule[row].match) due[n] |= uint16_t(1u << row);
  }
};

constexpr TDueTable DueTable;

}  // namespace

uint32_t PinkRowsDue(int64_t n) noexcept {
  return DueTable.due[static_cast<uint32_t>(n) & 2047];
}

float RawPinkNoise(GeneratorState& state, int64_t n) noexcept {
  float* rows = state.pinkRows;
  rows[0] = static_cast<float>(state.random.Next());
  for (uint32_t due = PinkRowsDue(n); due != 0; due &= due - 1)
    rows[1 + __builtin_ctz(due)] = static_cast<float>(state.random.Next());
  float sum = 0;
  for (int row = 0; row < 13; ++row) sum += rows[row];
  // In double the quotient errs by at most 2^-53 relative and the
  // subtraction adds as much again; the bound covers both twice over.
  const double estimate = sum / 6.5 - 1;
  const float v = RoundsToSameFloat(estimate, 0x1p-50)
                      ? static_cast<float>(estimate)
                      : static_cast<float>(static_cast<long double>(sum) / 6.5L - 1);
  return v;
}

float PinkNoise(GeneratorState& state, float exponent, int64_t n) noexcept {
  return CrestShape(RawPinkNoise(state, n), exponent);
}
