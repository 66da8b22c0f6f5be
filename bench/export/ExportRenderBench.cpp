#include "bench/engine/Configurations.h"
#include "export/ExportRenderer.h"

#include <benchmark/benchmark.h>

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

}  // namespace

BENCHMARK(BM_ExportOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime();
