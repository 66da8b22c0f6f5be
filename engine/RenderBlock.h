#pragma once
// One step of the block rendering: the values of up to TRenderBlock::Frames
// frames between its stages (draws, modulation, shaping, level, filter,
// storage).

#include <cstdint>

/// Frames within the signal come first in a block: in a loop every frame is,
/// otherwise the time index only grows and the end comes once.
struct TRenderBlock {
  static constexpr int32_t Frames = 128;
  int32_t count;   ///< frames in this block
  int32_t active;  ///< of them, frames rendered; the rest are silence
  bool levelledAhead[2];  ///< left, right: the first half levelled the channel (an export on two threads)
  int64_t frame[Frames];
  float left[Frames], right[Frames];
  float gainLeft[Frames], gainRight[Frames];
  int32_t sampleLeft[Frames], sampleRight[Frames];
};
