#pragma once
// The random draws of a block made all at once. The generator is linear:
// the seed i steps on is a fixed multiple of the seed now plus a fixed
// offset, so every draw of a block can be computed independently (eight at
// a time in vector registers) instead of one after the other.

#include "engine/RandomLcg.h"
#include "engine/RenderBlock.h"

#include <cstdint>

class TBlockDraws {
public:
  /// The most draws of one block: every row of the pink source in both channels.
  static constexpr int32_t Capacity = TRenderBlock::Frames * 2 * 13;

  /// Which readings of the draws are made.
  enum TReadings { PinkOnly, WhiteOnly, Both };

  /// Makes the next `count` draws of `random` (at most Capacity) and moves
  /// it past them, as `count` calls of Next would.
  void Make(TRandomLcg& random, int32_t count, TReadings readings = Both) noexcept;

  /// Draw i as a pink row takes it: float(Next()).
  float Pink(int32_t i) const noexcept { return FPink[i]; }
  /// Draw i as white noise takes it: float(2 x Next() - 1).
  float White(int32_t i) const noexcept { return FWhite[i]; }

private:
  alignas(32) float FPink[Capacity];
  alignas(32) float FWhite[Capacity];
};
