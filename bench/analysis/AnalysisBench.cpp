// What the window's analysis costs: one second of 192 kHz stereo 24-bit
// output, in buffers of 8192 bytes as the output settings default to, fed
// through the meter alone and with the Response window's spectrum. The
// counter "corePercent" is the share of one core the analysis takes while
// that output plays; "xRealTime" its inverse as a speed. The fill that makes
// the same second runs alongside for a ratio measured on the same machine.

#include "analysis/SignalAnalysis.h"
#include "engine/Render.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int32_t Rate = 192000;
constexpr int32_t BufferBytes = 8192;
constexpr int32_t FrameBytes = 6;

GeneratorState StereoWhite24() {
  GeneratorState state;
  state.sampleRate = Rate;
  state.bitsPerSample = 24;
  state.bytesPerFrame = FrameBytes;
  state.fullScale = FullScaleFor(24);
  state.channels = cmStereo;
  state.loop = true;
  state.totalFrames = Rate;
  state.left.crestIndex = state.right.crestIndex = 4;
  CrestFactorChanged(state.left);
  CrestFactorChanged(state.right);
  return state;
}

/// One second of output as the ring of buffers the device would play.
std::vector<std::vector<uint8_t>> OneSecond(GeneratorState& state) {
  std::vector<std::vector<uint8_t>> buffers(Rate * FrameBytes / BufferBytes + 1, std::vector<uint8_t>(BufferBytes));
  for (auto& b : buffers) FillBuffer(state, b.data(), BufferBytes, 4 * int64_t{BufferBytes});
  return buffers;
}

void Report(benchmark::State& bench, double seconds) {
  bench.counters["corePercent"] =
      benchmark::Counter(seconds / 100, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  bench.counters["xRealTime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}

void BM_Analysis(benchmark::State& bench, bool responseOpen) {
  GeneratorState state = StereoWhite24();
  const auto buffers = OneSecond(state);
  TSignalAnalysis analysis(state);
  analysis.Start({Rate, 2, 3, state.fullScale, 4, BufferBytes});
  if (responseOpen) analysis.ShowResponse();
  int64_t sequence = 0;
  for (auto _ : bench)
    for (const auto& b : buffers) {
      // The ring is full: buffer n is filled while n - 3 plays.
      analysis.BufferFilled(b.data(), BufferBytes, sequence);
      analysis.BufferPlaying(sequence >= 3 ? sequence - 3 : 0);
      ++sequence;
    }
  Report(bench, static_cast<double>(bench.iterations()) * double(buffers.size()) * BufferBytes / FrameBytes / Rate);
}

void BM_Fill(benchmark::State& bench) {
  GeneratorState state = StereoWhite24();
  std::vector<uint8_t> buffer(BufferBytes);
  const int64_t buffers = Rate * FrameBytes / BufferBytes + 1;
  for (auto _ : bench)
    for (int64_t i = 0; i < buffers; ++i) {
      FillBuffer(state, buffer.data(), BufferBytes, 4 * int64_t{BufferBytes});
      benchmark::DoNotOptimize(buffer.data());
    }
  Report(bench, static_cast<double>(bench.iterations()) * double(buffers) * BufferBytes / FrameBytes / Rate);
}

BENCHMARK_CAPTURE(BM_Analysis, meter, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Analysis, meter_and_spectrum, true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fill)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
