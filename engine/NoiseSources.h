#pragma once

#include "engine/GeneratorState.h"

#include <cstdint>

/// sign(v) x |v|^exponent rounded to a 32-bit float (0 when v is 0).
float CrestShape(float v, float exponent) noexcept;

/// CrestShape applied to values[0..count) in place.
void CrestShapeEach(float* values, int32_t count, float exponent) noexcept;

/// Next unshaped white-noise value: 2 x draw - 1 (one draw).
inline float RawWhiteNoise(TRandomLcg& random) noexcept {
  return static_cast<float>(2 * random.Next() - 1);
}

namespace pink_detail {

struct TRowSchedule {
  uint32_t mask, match;
};

// Row i+1 is redrawn when (n AND mask) = match.
inline constexpr TRowSchedule PinkSchedule[12] = {
    {1, 1},     {3, 2},     {7, 4},       {15, 14},     {31, 15},      {63, 31},
    {127, 64},  {255, 129}, {255, 238},   {511, 474},   {1023, 875},   {2047, 1875}};

// The schedule repeats every 2048 frames; one table entry per frame of it.
// Also the draws of each frame: row 0 and the rows due.
struct TDueTable {
  uint16_t due[2048];
  uint8_t draws[2048];
  constexpr TDueTable() : due(), draws() {
    for (uint32_t n = 0; n < 2048; ++n) {
      draws[n] = 1;
      for (int row = 0; row < 12; ++row)
        if ((n & PinkSchedule[row].mask) == PinkSchedule[row].match) {
          due[n] |= uint16_t(1u << row);
          ++draws[n];
        }
    }
  }
};

inline constexpr TDueTable DueTable;

}  // namespace pink_detail

/// Bit i-1 is set when row i (1..12) of the pink source is redrawn at n.
inline uint32_t PinkRowsDue(int64_t n) noexcept {
  return pink_detail::DueTable.due[static_cast<uint32_t>(n) & 2047];
}

/// Rows 0 to 3 change often (every call, every 2, 4 and 8 frames), the others rarely.
constexpr int FrequentPinkRows = 4;

/// Row 0 and the rows due at n get new draws from `next()`, in increasing
/// row order; beforeRare(row) runs before a rare row (4 to 12) is redrawn.
/// Rows 1 to 3 have branches of their own, which follow the frames' short
/// patterns.
template <class TNext, class TBeforeRare>
inline void DrawPinkRows(TNext next, float* rows, int64_t n, TBeforeRare beforeRare) noexcept {
  const uint32_t due = PinkRowsDue(n);
  rows[0] = next();
  if (due & 1) rows[1] = next();
  if (due & 2) rows[2] = next();
  if (due & 4) rows[3] = next();
  for (uint32_t rare = due >> 3; rare != 0; rare &= rare - 1) {
    const int row = FrequentPinkRows + __builtin_ctz(rare);
    beforeRare(row);
    rows[row] = next();
  }
}

/// The draws of the pink source at time index n: row 0 and the rows due.
inline int32_t PinkDrawsAt(int64_t n) noexcept { return pink_detail::DueTable.draws[static_cast<uint32_t>(n) & 2047]; }

/// Next unshaped pink-noise value at time index n: row 0 and the rows due at
/// n are redrawn, the 13 rows summed and scaled to -1..1.
float RawPinkNoise(GeneratorState& state, int64_t n) noexcept;

/// sum / 6.5 - 1 rounded to 32 bits: the pink value of the rows' sum.
float PinkValueOfSum(float sum) noexcept;

/// Next white-noise value: 2 x draw - 1, crest-shaped.
float WhiteNoise(TRandomLcg& random, float exponent) noexcept;

/// Next pink-noise value at time index n: row 0 and the rows due at n are
/// redrawn, the 13 rows summed, scaled to -1..1 and crest-shaped.
float PinkNoise(GeneratorState& state, float exponent, int64_t n) noexcept;

inline float WhiteNoiseL(GeneratorState& s) noexcept { return WhiteNoise(s.random, s.left.crestExponent); }
inline float WhiteNoiseR(GeneratorState& s) noexcept { return WhiteNoise(s.random, s.right.crestExponent); }
inline float PinkNoiseL(GeneratorState& s, int64_t n) noexcept { return PinkNoise(s, s.left.crestExponent, n); }
inline float PinkNoiseR(GeneratorState& s, int64_t n) noexcept { return PinkNoise(s, s.right.crestExponent, n); }
