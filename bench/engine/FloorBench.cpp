// The floor of the rendering: the work that must go sample after sample,
// alone. That is the random generator and the pink rows it redraws (each
// draw depends on the one before) and each channel's filter (each output
// feeds the next). Everything else the fill does is per sample and
// independent, so it can run side by side; the ratio of the whole fill to
// this floor says how much of that work is left.
#include "bench/engine/Configurations.h"
#include "engine/NoiseSources.h"
#include "engine/Render.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <vector>

namespace {

constexpr int32_t kFrames = 4096;

// One buffer's worth of the serial work: the draws of both channels, frame
// by frame in the fill's order, then each filter over samples of the signal.
void SerialWork(GeneratorState& state, const std::vector<int32_t>& input, std::vector<int32_t>& left,
                std::vector<int32_t>& right) {
  const bool pinkLeft = state.left.noiseType == ntPink, pinkRight = state.right.noiseType == ntPink;
  float white = 0;
  const auto next = [&] { return static_cast<float>(state.random.Next()); };
  for (int32_t j = 0; j < kFrames; ++j, ++state.frameIndex) {
    if (pinkLeft) DrawPinkRows(next, state.pinkRows, state.frameIndex, [](int) {});
    else white += RawWhiteNoise(state.random);
    if (pinkRight) DrawPinkRows(next, state.pinkRows, state.frameIndex, [](int) {});
    else white += RawWhiteNoise(state.random);
  }
  benchmark::DoNotOptimize(white);
  benchmark::DoNotOptimize(state.pinkRows);
  left = input;
  right = input;
  if (IsFilterActive(state.left.filterType)) FilterSamples(state.filterL, left.data(), kFrames);
  if (IsFilterActive(state.right.filterType)) FilterSamples(state.filterR, right.data(), kFrames);
  benchmark::DoNotOptimize(left.data());
  benchmark::DoNotOptimize(right.data());
}

double ThreadSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// The floor alone; "xRealTime" is seconds of signal per second.
void BM_SerialFloor(benchmark::State& bench, TBenchSignal signal) {
  GeneratorState state;
  SetUpBenchSignal(state, signal);
  std::vector<int32_t> input(kFrames), left, right;
  for (int32_t& sample : input) sample = static_cast<int32_t>(RawWhiteNoise(state.random) * 20000);
  for (auto _ : bench) SerialWork(state, input, left, right);
  bench.counters["xRealTime"] = benchmark::Counter(
      static_cast<double>(bench.iterations()) * kFrames / state.sampleRate, benchmark::Counter::kIsRate);
}

// The whole fill of a buffer against the floor, timed in turn on this
// thread's processor clock so that other programs' load falls on both
// alike: "xFloor" is the whole fill's time over the floor's.
void BM_FillOverFloor(benchmark::State& bench, TBenchSignal signal) {
  GeneratorState state, floor;
  SetUpBenchSignal(state, signal);
  SetUpBenchSignal(floor, signal);
  std::vector<uint8_t> buffer(static_cast<size_t>(kFrames) * state.bytesPerFrame);
  const int32_t size = static_cast<int32_t>(buffer.size());
  std::vector<int32_t> input(kFrames), left, right;
  for (int32_t& sample : input) sample = static_cast<int32_t>(RawWhiteNoise(floor.random) * 20000);
  double wholeSeconds = 0, floorSeconds = 0;
  for (auto _ : bench) {
    const double start = ThreadSeconds();
    FillBuffer(state, buffer.data(), size, 4 * int64_t{size});
    benchmark::DoNotOptimize(buffer.data());
    const double middle = ThreadSeconds();
    SerialWork(floor, input, left, right);
    wholeSeconds += middle - start;
    floorSeconds += ThreadSeconds() - middle;
  }
  bench.counters["xFloor"] = floorSeconds > 0 ? wholeSeconds / floorSeconds : 0;
}

}  // namespace

BENCHMARK_CAPTURE(BM_SerialFloor, White44k, TBenchSignal::White44k)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_SerialFloor, PinkFilterMod44k, TBenchSignal::PinkFilterMod44k)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_FillOverFloor, White44k, TBenchSignal::White44k)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_FillOverFloor, Pink44k, TBenchSignal::Pink44k)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_FillOverFloor, PinkFilterMod44k, TBenchSignal::PinkFilterMod44k)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_FillOverFloor, PinkFilterMod192k24Bit, TBenchSignal::PinkFilterMod192k24Bit)->MinTime(1.0);
