#include "bench/engine/Configurations.h"
#include "bench/engine/SerialFloor.h"
#include "export/ExportRenderer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

// Ten seconds of pink noise with filter and modulation, rendered as the
// export renders it, in calls of 10000 frames; "xRealTime" is seconds of
// signal rendered per second. One thread against the two-thread renderer.
constexpr int32_t kCallFrames = 10000;

template <class TRenderCall>
void RenderTenSeconds(benchmark::State& bench, GeneratorState& state, TRenderCall render) {
  std::vector<uint8_t> out(static_cast<size_t>(kCallFrames) * 4);
  const int32_t calls = 10 * state.sampleRate / kCallFrames;
  for (auto _ : bench) {
    for (int32_t i = 0; i < calls; ++i) render(out.data(), kCallFrames);
    benchmark::DoNotOptimize(out.data());
  }
  bench.counters["xRealTime"] = benchmark::Counter(10.0 * static_cast<double>(bench.iterations()),
                                                   benchmark::Counter::kIsRate);
}

void BM_ExportOneThread(benchmark::State& bench) {
  GeneratorState state;
  SetUpBenchSignal(state, TBenchSignal::PinkFilterMod44k);
  RenderTenSeconds(bench, state, [&](uint8_t* out, int32_t frames) {
    RenderExportFrames(state, {true, 2}, out, frames);
  });
}

void BM_ExportTwoThreads(benchmark::State& bench) {
  GeneratorState state;
  SetUpBenchSignal(state, TBenchSignal::PinkFilterMod44k);
  TExportRenderer renderer(state, {true, 2}, kCallFrames);
  RenderTenSeconds(bench, state, [&](uint8_t* out, int32_t frames) { renderer.Render(out, frames); });
}

// The two-thread export's wall-clock time for ten seconds of signal against
// the floor's (SerialFloor.h) for the same frames, in turn: "xFloor".
void BM_ExportOverFloor(benchmark::State& bench, TFloor kind) {
  GeneratorState state;
  SetUpBenchSignal(state, TBenchSignal::PinkFilterMod44k);
  TExportRenderer renderer(state, {true, 2}, kCallFrames);
  TSerialFloor floor(state, kCallFrames, kind);
  std::vector<uint8_t> out(static_cast<size_t>(kCallFrames) * 4);
  const int32_t calls = 10 * state.sampleRate / kCallFrames;
  double exportSeconds = 0, floorSeconds = 0;
  for (auto _ : bench) {
    auto start = std::chrono::steady_clock::now();
    for (int32_t i = 0; i < calls; ++i) renderer.Render(out.data(), kCallFrames);
    benchmark::DoNotOptimize(out.data());
    const auto middle = std::chrono::steady_clock::now();
    for (int32_t i = 0; i < calls; ++i) floor.Run();
    exportSeconds += std::chrono::duration<double>(middle - start).count();
    floorSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - middle).count();
  }
  bench.counters["xFloor"] = floorSeconds > 0 ? exportSeconds / floorSeconds : 0;
}

}  // namespace

BENCHMARK_CAPTURE(BM_ExportOverFloor, DrawsAndFilters, TFloor::DrawsAndFilters)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportOverFloor, FiltersOnly, TFloor::Filters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime();
