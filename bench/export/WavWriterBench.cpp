#include "export/WavFileWriter.h"

#include <benchmark/benchmark.h>

namespace {

// Ten seconds of a stereo signal written sample by sample to /dev/null, so
// that only the writer's own cost is measured; "xRealTime" is seconds of
// signal written per second.
void BM_WriteSamples(benchmark::State& bench, TWavFormat format) {
  const uint64_t frames = 10 * uint64_t{format.SampleRate};
  for (auto _ : bench) {
    TWavFileWriter writer("/dev/null", format, frames);
    for (uint64_t i = 0; i < frames * format.Channels; ++i) writer.WriteSample(static_cast<int32_t>(i));
    benchmark::DoNotOptimize(writer.Close());
  }
  const double seconds = 10.0 * static_cast<double>(bench.iterations());
  bench.counters["xRealTime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK_CAPTURE(BM_WriteSamples, Stereo44k16Bit, TWavFormat{44100, 2, 2})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteSamples, Stereo192k24Bit, TWavFormat{192000, 2, 3})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
