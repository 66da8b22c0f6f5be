#pragma once

#include "engine/GeneratorState.h"

#include <cstdint>

/// sign(v) x |v|^exponent rounded to a 32-bit float (0 when v is 0).
float CrestShape(float v, float exponent) noexcept;

/// CrestShape applied to values[0..count) in place.
void CrestShapeEach(float* values, int32_t count, float exponent) noexcept;

/// Next unshaped white-noise value: 2 x draw - 1 (one draw).
float RawWhiteNoise(TRandomLcg& random) noexcept;

/// Next unshaped pink-noise value at time index n: row 0 and the rows due at
/// n are redrawn, the 13 rows summed and scaled to -1..1.
float RawPinkNoise(GeneratorState& state, int64_t n) noexcept;

/// The unshaped pink values of many calls, the same as RawPinkNoise gives
/// them one by one: each Draw makes its draws at once, in call order; the
/// row sums, whose chain of 13 rounded additions dominates, then run side
/// by side in Finish.
class TPinkBatch {
public:
  static constexpr int32_t Capacity = 128;
  /// Row 0 and the rows due at n are redrawn; `target` receives the value
  /// at Finish. At most Capacity draws before each Finish.
  void Draw(GeneratorState& state, int64_t n, float* target) noexcept;
  /// Writes every pending value to its target.
  void Finish() noexcept;

private:
  alignas(16) float FRows[13][Capacity];
  float* FTarget[Capacity];
  int32_t FCount = 0;
};

/// Next white-noise value: 2 x draw - 1, crest-shaped.
float WhiteNoise(TRandomLcg& random, float exponent) noexcept;

/// Next pink-noise value at time index n: row 0 and the rows due at n are
/// redrawn, the 13 rows summed, scaled to -1..1 and crest-shaped.
float PinkNoise(GeneratorState& state, float exponent, int64_t n) noexcept;

/// Bit i-1 is set when row i (1..12) of the pink source is redrawn at n.
uint32_t PinkRowsDue(int64_t n) noexcept;

inline float WhiteNoiseL(GeneratorState& s) noexcept { return WhiteNoise(s.random, s.left.crestExponent); }
inline float WhiteNoiseR(GeneratorState& s) noexcept { return WhiteNoise(s.random, s.right.crestExponent); }
inline float PinkNoiseL(GeneratorState& s, int64_t n) noexcept { return PinkNoise(s, s.left.crestExponent, n); }
inline float PinkNoiseR(GeneratorState& s, int64_t n) noexcept { return PinkNoise(s, s.right.crestExponent, n); }
