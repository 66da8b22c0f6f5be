#include "engine/NoiseSources.h"

#include "engine/FloatRounding.h"
#include "engine/PowerEstimate.h"

#include <cmath>
#include <cstring>

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
  // The sign of noise is random: a branch on it would be mispredicted half the time.
  return std::copysign(shaped, v);
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

namespace {

// Row 0 and the rows due at n get new draws, in increasing row order.
inline void DrawPinkRows(GeneratorState& state, int64_t n) noexcept {
  float* rows = state.pinkRows;
  rows[0] = static_cast<float>(state.random.Next());
  for (uint32_t due = PinkRowsDue(n); due != 0; due &= due - 1)
    rows[1 + __builtin_ctz(due)] = static_cast<float>(state.random.Next());
}

// sum / 6.5 - 1 rounded to 32 bits. In double the quotient errs by at most
// 2^-53 relative and the subtraction adds as much again; the bound covers
// both twice over.
inline float PinkValueOfSum(float sum) noexcept {
  const double estimate = sum / 6.5 - 1;
  return RoundsToSameFloat(estimate, 0x1p-50)
             ? static_cast<float>(estimate)
             : static_cast<float>(static_cast<long double>(sum) / 6.5L - 1);
}

}  // namespace

float RawPinkNoise(GeneratorState& state, int64_t n) noexcept {
  DrawPinkRows(state, n);
  float sum = 0;
  for (int row = 0; row < 13; ++row) sum += state.pinkRows[row];
  return PinkValueOfSum(sum);
}

void TPinkBatch::Draw(GeneratorState& state, int64_t n, float* target) noexcept {
  DrawPinkRows(state, n);
  for (int row = 0; row < 13; ++row) FRows[row][FCount] = state.pinkRows[row];
  FTarget[FCount++] = target;
}

void TPinkBatch::Finish() noexcept {
  // Four calls' sums side by side; each lane adds its rows in row order,
  // rounding to 32 bits at every step, as RawPinkNoise does.
  typedef float TFloat4 __attribute__((vector_size(16)));
  const int32_t padded = (FCount + 3) & ~3;
  for (int row = 0; row < 13; ++row)
    for (int32_t k = FCount; k < padded; ++k) FRows[row][k] = 0;
  alignas(16) float sums[Capacity];
  for (int32_t k = 0; k < padded; k += 4) {
    TFloat4 sum = {0, 0, 0, 0};
    for (int row = 0; row < 13; ++row) {
      TFloat4 values;
      std::memcpy(&values, &FRows[row][k], sizeof values);
      sum += values;
    }
    std::memcpy(&sums[k], &sum, sizeof sum);
  }
  for (int32_t k = 0; k < FCount; ++k) *FTarget[k] = PinkValueOfSum(sums[k]);
  FCount = 0;
}

float PinkNoise(GeneratorState& state, float exponent, int64_t n) noexcept {
  return CrestShape(RawPinkNoise(state, n), exponent);
}
