#pragma once
// The unshaped noise of up to a block of frames for both channels, the
// values the per-sample sources give frame by frame (left before right),
// made in three passes that each run without waiting on the one before:
// every draw at once (TBlockDraws), the pink rows' values laid out as
// columns, then the rows' sums side by side.

#include "engine/NoiseSources.h"
#include "engine/RandomDraws.h"
#include "engine/RandomLcg.h"
#include "engine/RenderBlock.h"

#include <cstdint>

/// The noise type of a channel that is not rendered: it makes no draws.
constexpr int32_t NoNoise = -1;

class TBlockNoise {
public:
  static constexpr int32_t Frames = TRenderBlock::Frames;
  /// The sum of the frequent rows 0 to 3, then one column per rarer row.
  static constexpr int Columns = 1 + 13 - FrequentPinkRows;

  /// Values for frames[0..count) (count <= Frames) into left and right from
  /// `random` and the shared pink `rows`, both moved on as the per-sample
  /// sources move them. A channel of any type but ntWhite and ntPink (such
  /// as NoNoise) makes no draws and gets no values.
  void Make(TRandomLcg& random, float* rows, const int64_t* frames, int32_t count, int32_t noiseLeft,
            int32_t noiseRight, float* left, float* right) noexcept;

private:
  void MakeWhite(TRandomLcg& random, int32_t count, bool whiteLeft, bool whiteRight, float* left,
                 float* right) noexcept;
  int32_t PlanDraws(const int64_t* frames, int32_t count, int32_t noiseLeft, int32_t noiseRight) noexcept;
  template <bool PinkLeft, bool PinkRight>
  void PinkColumns(const int64_t* frames, int32_t count, float* rows) noexcept;
  template <bool PinkLeft, bool PinkRight>
  void FillRun(int row, int32_t from, int32_t to, float value) noexcept;
  void PinkValues(int channel, int32_t count, float* values) noexcept;

  TBlockDraws FDraws;
  int16_t FFirstDraw[2][Frames];  // each channel's first draw at each frame
  static constexpr int RareColumn(int row) noexcept { return 1 + row - FrequentPinkRows; }
  // Each frame's values: left's in entries 0.., right's in Frames..
  alignas(32) float FColumns[Columns][2 * Frames];
  // A rarer row not redrawn in the block has no column, only its value.
  bool FConstant[Columns] = {};
  float FConstantValue[Columns];
};
