#include "engine/ReferenceNoise.h"
#include "export/ReferenceExport.h"

#include <benchmark/benchmark.h>

namespace {

// The reference noise written as zephyra-render --reference writes it, to
// /dev/null so that the disk does not count: at least 60 s of it, warm-up
// included. "xRealTime" is seconds of noise written per second.
void BM_WriteReference(benchmark::State& bench, TWavFormat format) {
  const auto rate = static_cast<int32_t>(format.SampleRate);
  const int64_t frames = ReferenceFrames(rate, 60);
  for (auto _ : bench) benchmark::DoNotOptimize(WriteReferenceWav("/dev/null", format, frames));
  const double seconds = static_cast<double>(frames) / rate * static_cast<double>(bench.iterations());
  bench.counters["xRealTime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK_CAPTURE(BM_WriteReference, Stereo192k24Bit, TWavFormat{192000, 2, 3})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteReference, Mono48k24Bit, TWavFormat{48000, 1, 3})->Unit(benchmark::kMillisecond);
