#pragma once
// The floor of the rendering: the work that must go sample after sample,
// alone. That is each channel's filter (each output feeds the next) and,
// done one draw after the other, the random generator and the pink rows it
// redraws. The renderer makes a block's draws at once instead (the
// generator can jump ahead), so the filters alone are the floor it can
// still meet; with the draws is the floor as first defined.

#include "engine/GeneratorState.h"
#include "engine/NoiseSources.h"
#include "engine/Render.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <vector>

enum class TFloor { DrawsAndFilters, Filters };

/// The serial work of `frames` frames: the draws of both channels frame by
/// frame in the fill's order (unless only the filters count), then each
/// filter over `input`.
class TSerialFloor {
public:
  TSerialFloor(const GeneratorState& signal, int32_t frames, TFloor floor)
      : FState(signal), FFloor(floor), FInput(static_cast<size_t>(frames)) {
    for (int32_t& sample : FInput) sample = static_cast<int32_t>(RawWhiteNoise(FState.random) * 20000);
  }

  void Run() {
    const int32_t frames = static_cast<int32_t>(FInput.size());
    if (FFloor == TFloor::DrawsAndFilters) Draw(frames);
    FLeft = FInput;
    FRight = FInput;
    if (IsFilterActive(FState.left.filterType)) FilterSamples(FState.filterL, FLeft.data(), frames);
    if (IsFilterActive(FState.right.filterType)) FilterSamples(FState.filterR, FRight.data(), frames);
    benchmark::DoNotOptimize(FLeft.data());
    benchmark::DoNotOptimize(FRight.data());
  }

private:
  void Draw(int32_t frames) {
    const bool pinkLeft = FState.left.noiseType == ntPink, pinkRight = FState.right.noiseType == ntPink;
    const auto next = [&] { return static_cast<float>(FState.random.Next()); };
    float white = 0;
    for (int32_t j = 0; j < frames; ++j, ++FState.frameIndex) {
      if (pinkLeft) DrawPinkRows(next, FState.pinkRows, FState.frameIndex, [](int) {});
      else white += RawWhiteNoise(FState.random);
      if (pinkRight) DrawPinkRows(next, FState.pinkRows, FState.frameIndex, [](int) {});
      else white += RawWhiteNoise(FState.random);
    }
    benchmark::DoNotOptimize(white);
    benchmark::DoNotOptimize(FState.pinkRows);
  }

  GeneratorState FState;
  TFloor FFloor;
  std::vector<int32_t> FInput, FLeft, FRight;
};

/// This thread's processor time in seconds.
inline double ThreadSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}
