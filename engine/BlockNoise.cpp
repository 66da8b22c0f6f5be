#include "engine/BlockNoise.h"

#include "engine/ChannelSettings.h"
#include "engine/NoiseSources.h"
#include "engine/TargetClones.h"

#include <algorithm>
#include <cstring>

namespace {

inline int32_t DrawsAt(int32_t noiseType, int64_t n) noexcept {
  return noiseType == ntPink ? PinkDrawsAt(n) : noiseType == ntWhite ? 1 : 0;
}

typedef float TFloat8 __attribute__((vector_size(32)));

// sums[k] = the sum of rows 0 to 3 (column 0) + row 4 + ... + row 12 for k
// in [start, start + count), count a multiple of 8, added in that order in
// 32 bits. A row that kept one value through the block has no column: its
// value is added from `constants`.
ZEPHYRA_AVX2_CLONES void SumColumns(const float (*columns)[2 * TBlockNoise::Frames], const bool* isConstant,
                                    const float* constants, int32_t start, int32_t count, float* sums) noexcept {
  for (int32_t k = start; k < start + count; k += 8) {
    TFloat8 sum, row;
    std::memcpy(&sum, &columns[0][k], sizeof sum);
    for (int c = 1; c < TBlockNoise::Columns; ++c) {
      if (isConstant[c]) {
        sum += constants[c];
      } else {
        std::memcpy(&row, &columns[c][k], sizeof row);
        sum += row;
      }
    }
    std::memcpy(sums + k - start, &sum, sizeof sum);
  }
}

// PinkValueOfSum of sums[0..count), count a multiple of 4: the estimates
// and their checks four at a time, the undecided values by the definition.
ZEPHYRA_AVX2_CLONES void PinkValuesOfSums(const float* sums, int32_t count, float* values) noexcept {
  typedef double TDouble4 __attribute__((vector_size(32)));
  typedef float TFloat4 __attribute__((vector_size(16)));
  for (int32_t k = 0; k < count; k += 4) {
    TFloat4 sum;
    std::memcpy(&sum, sums + k, sizeof sum);
    const TDouble4 estimate = __builtin_convertvector(sum, TDouble4) / 6.5 - 1;
    const TFloat4 low = __builtin_convertvector(estimate - 0x1p-50, TFloat4);
    const TFloat4 high = __builtin_convertvector(estimate + 0x1p-50, TFloat4);
    const TFloat4 value = __builtin_convertvector(estimate, TFloat4);
    std::memcpy(values + k, &value, sizeof value);
    const auto decided = low == high;
    for (int i = 0; i < 4; ++i)
      if (!decided[i]) values[k + i] = PinkValueOfSum(sums[k + i]);
  }
}

}  // namespace

void TBlockNoise::Make(TRandomLcg& random, float* rows, const int64_t* frames, int32_t count, int32_t noiseLeft,
                       int32_t noiseRight, float* left, float* right) noexcept {
  if (count <= 0) return;
  const bool pinkLeft = noiseLeft == ntPink, pinkRight = noiseRight == ntPink;
  if (!pinkLeft && !pinkRight) {
    MakeWhite(random, count, noiseLeft == ntWhite, noiseRight == ntWhite, left, right);
    return;
  }
  const bool white = noiseLeft == ntWhite || noiseRight == ntWhite;
  FDraws.Make(random, PlanDraws(frames, count, noiseLeft, noiseRight),
              white ? TBlockDraws::Both : TBlockDraws::PinkOnly);
  if (noiseLeft == ntWhite)
    for (int32_t j = 0; j < count; ++j) left[j] = FDraws.White(FFirstDraw[0][j]);
  if (noiseRight == ntWhite)
    for (int32_t j = 0; j < count; ++j) right[j] = FDraws.White(FFirstDraw[1][j]);
  if (pinkLeft && pinkRight) PinkColumns<true, true>(frames, count, rows);
  else if (pinkLeft) PinkColumns<true, false>(frames, count, rows);
  else PinkColumns<false, true>(frames, count, rows);
  if (pinkLeft) PinkValues(0, count, left);
  if (pinkRight) PinkValues(1, count, right);
}

// Without pink noise every frame draws once per white channel.
void TBlockNoise::MakeWhite(TRandomLcg& random, int32_t count, bool whiteLeft, bool whiteRight, float* left,
                            float* right) noexcept {
  const int32_t perFrame = (whiteLeft ? 1 : 0) + (whiteRight ? 1 : 0);
  FDraws.Make(random, perFrame * count, TBlockDraws::WhiteOnly);
  if (perFrame == 2) {
    for (int32_t j = 0; j < count; ++j) {
      left[j] = FDraws.White(2 * j);
      right[j] = FDraws.White(2 * j + 1);
    }
  } else if (perFrame == 1) {
    float* only = whiteLeft ? left : right;
    for (int32_t j = 0; j < count; ++j) only[j] = FDraws.White(j);
  }
}

// Where each channel's draws of each frame begin; returns the block's draws.
int32_t TBlockNoise::PlanDraws(const int64_t* frames, int32_t count, int32_t noiseLeft,
                               int32_t noiseRight) noexcept {
  int32_t total = 0;
  for (int32_t j = 0; j < count; ++j) {
    FFirstDraw[0][j] = static_cast<int16_t>(total);
    total += DrawsAt(noiseLeft, frames[j]);
    FFirstDraw[1][j] = static_cast<int16_t>(total);
    total += DrawsAt(noiseRight, frames[j]);
  }
  return total;
}

// Row 0 is drawn anew in every frame, row r >= 1 in the frames its schedule
// names (the r-th draw of the channel in that frame, counting row 0 as the
// first); in between a row keeps what the last pink channel drew, which
// both channels see. Rows 1 to 3 are never due in the same frame: the one
// that is due is drawn right after row 0. Their values are added to row 0
// frame by frame, in row order (the first column holds that partial sum);
// the rarer rows' columns are filled in runs, a row not redrawn in the
// block not at all.
template <bool PinkLeft, bool PinkRight>
void TBlockNoise::PinkColumns(const int64_t* frames, int32_t count, float* rows) noexcept {
  constexpr int last = PinkRight ? 1 : 0;
  float held[13];
  int32_t filled[13];
  for (int row = 1; row < 13; ++row) {
    held[row] = rows[row];
    filled[row] = 0;
  }
  for (int32_t j = 0; j < count; ++j) {
    const uint32_t due = PinkRowsDue(frames[j]);
    const int32_t first[2] = {FFirstDraw[0][j], FFirstDraw[1][j]};
    // A frequent row's draw follows row 0; a draw index is only read where it was drawn.
    const int32_t step = (due & 7) != 0 ? 1 : 0;
    float sum[2] = {PinkLeft ? FDraws.Pink(first[0]) : 0, PinkRight ? FDraws.Pink(first[1]) : 0};
    for (int row = 1; row < FrequentPinkRows; ++row) {
      const bool isDue = due & (1u << (row - 1));
      if (PinkLeft) sum[0] += isDue ? FDraws.Pink(first[0] + step) : held[row];
      if (PinkRight) sum[1] += isDue ? FDraws.Pink(first[1] + step) : held[row];
      held[row] = isDue ? FDraws.Pink(first[last] + step) : held[row];
    }
    if (PinkLeft) FColumns[0][j] = sum[0];
    if (PinkRight) FColumns[0][Frames + j] = sum[1];
    int draw = 1 + step;
    for (uint32_t rare = due >> (FrequentPinkRows - 1); rare != 0; rare &= rare - 1, ++draw) {
      const int row = FrequentPinkRows + __builtin_ctz(rare);
      FillRun<PinkLeft, PinkRight>(row, filled[row], j, held[row]);
      if (PinkLeft) FColumns[RareColumn(row)][j] = FDraws.Pink(first[0] + draw);
      if (PinkRight) FColumns[RareColumn(row)][Frames + j] = FDraws.Pink(first[1] + draw);
      held[row] = FDraws.Pink(first[last] + draw);
      filled[row] = j + 1;
    }
  }
  for (int row = FrequentPinkRows; row < 13; ++row) {
    FConstant[RareColumn(row)] = filled[row] == 0;  // not redrawn in this block
    FConstantValue[RareColumn(row)] = held[row];
    if (filled[row] > 0) FillRun<PinkLeft, PinkRight>(row, filled[row], count, held[row]);
  }
  for (int row = 1; row < 13; ++row) rows[row] = held[row];
  rows[0] = FDraws.Pink(FFirstDraw[last][count - 1]);
}

template <bool PinkLeft, bool PinkRight>
void TBlockNoise::FillRun(int row, int32_t from, int32_t to, float value) noexcept {
  if (PinkLeft)
    for (int32_t j = from; j < to; ++j) FColumns[RareColumn(row)][j] = value;
  if (PinkRight)
    for (int32_t j = from; j < to; ++j) FColumns[RareColumn(row)][Frames + j] = value;
}

void TBlockNoise::PinkValues(int channel, int32_t count, float* values) noexcept {
  // The columns of a partial block are summed to the next multiple of 8,
  // from zeros.
  const int32_t padded = (count + 7) & ~7;
  for (int c = 0; c < Columns; ++c)
    if (!FConstant[c]) std::fill(&FColumns[c][channel * Frames + count], &FColumns[c][channel * Frames + padded], 0.0f);
  alignas(32) float sums[Frames];
  SumColumns(FColumns, FConstant, FConstantValue, channel * Frames, padded, sums);
  alignas(32) float pink[Frames];
  PinkValuesOfSums(sums, padded, pink);
  std::memcpy(values, pink, static_cast<size_t>(count) * sizeof(float));
}
