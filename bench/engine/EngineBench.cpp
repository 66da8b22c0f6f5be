#include "bench/engine/Configurations.h"
#include "engine/Render.h"
#include "tests/engine/ReferenceRenderer.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// One output buffer of the default size, filled again and again; the
// counter "xRealTime" is seconds of signal rendered per second.
void BM_FillBuffer(benchmark::State& bench, TBenchSignal signal) {
  GeneratorState state;
  SetUpBenchSignal(state, signal);
  constexpr int32_t framesPerBuffer = 4096;
  std::vector<uint8_t> buffer(static_cast<size_t>(framesPerBuffer) * state.bytesPerFrame);
  const int32_t size = static_cast<int32_t>(buffer.size());
  for (auto _ : bench) {
    FillBuffer(state, buffer.data(), size, 4 * int64_t{size});
    benchmark::DoNotOptimize(buffer.data());
  }
  const double frames = static_cast<double>(bench.iterations()) * framesPerBuffer;
  bench.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
  bench.counters["xRealTime"] =
      benchmark::Counter(frames / state.sampleRate, benchmark::Counter::kIsRate);
}

// The plain extended-precision rendering the fast path is checked against.
void BM_Reference(benchmark::State& bench, TBenchSignal signal) {
  GeneratorState state;
  SetUpBenchSignal(state, signal);
  TReferenceRenderer reference(state);
  constexpr int32_t framesPerBuffer = 4096;
  for (auto _ : bench) benchmark::DoNotOptimize(reference.RenderFrames(framesPerBuffer).data());
  const double frames = static_cast<double>(bench.iterations()) * framesPerBuffer;
  bench.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
  bench.counters["xRealTime"] =
      benchmark::Counter(frames / state.sampleRate, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK_CAPTURE(BM_FillBuffer, White44k, TBenchSignal::White44k)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_FillBuffer, Pink44k, TBenchSignal::Pink44k)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_FillBuffer, PinkFilterMod44k, TBenchSignal::PinkFilterMod44k)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_FillBuffer, PinkFilterMod192k24Bit, TBenchSignal::PinkFilterMod192k24Bit)->MinTime(1.0);

BENCHMARK_CAPTURE(BM_Reference, PinkFilterMod44k, TBenchSignal::PinkFilterMod44k)->MinTime(1.0);

BENCHMARK_MAIN();
