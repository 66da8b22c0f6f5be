// The floor of the rendering (SerialFloor.h) alone, and the whole fill of
// a buffer against it.
#include "bench/engine/Configurations.h"
#include "bench/engine/SerialFloor.h"
#include "engine/Render.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int32_t kFrames = 4096;

// The floor alone; "xRealTime" is seconds of signal per second.
void BM_SerialFloor(benchmark::State& bench, TBenchSignal signal, TFloor kind) {
  GeneratorState state;
  SetUpBenchSignal(state, signal);
  TSerialFloor floor(state, kFrames, kind);
  for (auto _ : bench) floor.Run();
  bench.counters["xRealTime"] = benchmark::Counter(
      static_cast<double>(bench.iterations()) * kFrames / state.sampleRate, benchmark::Counter::kIsRate);
}

// The whole fill of a buffer against a floor, timed in turn on this
// thread's processor clock so that other programs' load falls on both
// alike: "xFloor" is the whole fill's time over the floor's.
void BM_FillOverFloor(benchmark::State& bench, TBenchSignal signal, TFloor kind) {
  GeneratorState state;
  SetUpBenchSignal(state, signal);
  TSerialFloor floor(state, kFrames, kind);
  std::vector<uint8_t> buffer(static_cast<size_t>(kFrames) * state.bytesPerFrame);
  const int32_t size = static_cast<int32_t>(buffer.size());
  double wholeSeconds = 0, floorSeconds = 0;
  for (auto _ : bench) {
    const double start = ThreadSeconds();
    FillBuffer(state, buffer.data(), size, 4 * int64_t{size});
    benchmark::DoNotOptimize(buffer.data());
    const double middle = ThreadSeconds();
    floor.Run();
    wholeSeconds += middle - start;
    floorSeconds += ThreadSeconds() - middle;
  }
  bench.counters["xFloor"] = floorSeconds > 0 ? wholeSeconds / floorSeconds : 0;
}

}  // namespace

BENCHMARK_CAPTURE(BM_SerialFloor, White44k, TBenchSignal::White44k, TFloor::DrawsAndFilters)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_SerialFloor, PinkFilterMod44k, TBenchSignal::PinkFilterMod44k, TFloor::DrawsAndFilters)
    ->MinTime(1.0);
BENCHMARK_CAPTURE(BM_SerialFloor, FiltersOnly/PinkFilterMod44k, TBenchSignal::PinkFilterMod44k, TFloor::Filters)
    ->MinTime(1.0);
BENCHMARK_CAPTURE(BM_FillOverFloor, White44k, TBenchSignal::White44k, TFloor::DrawsAndFilters)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_FillOverFloor, Pink44k, TBenchSignal::Pink44k, TFloor::DrawsAndFilters)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_FillOverFloor, PinkFilterMod44k, TBenchSignal::PinkFilterMod44k, TFloor::DrawsAndFilters)
    ->MinTime(1.0);
BENCHMARK_CAPTURE(BM_FillOverFloor, PinkFilterMod192k24Bit, TBenchSignal::PinkFilterMod192k24Bit,
                  TFloor::DrawsAndFilters)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_FillOverFloor, FiltersOnly/PinkFilterMod44k, TBenchSignal::PinkFilterMod44k, TFloor::Filters)
    ->MinTime(1.0);
