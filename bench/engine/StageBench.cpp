// Two of the fill's per-sample stages alone, a block of frames at a time
// as the fill runs them: the crest power estimates of noise values and
// the modulation gains of consecutive frames.
#include "engine/Modulation.h"
#include "engine/NoiseSources.h"
#include "engine/PowerEstimate.h"
#include "engine/RenderBlock.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int32_t kBlock = TRenderBlock::Frames;

// The estimates of 4096 values of white noise in (-1, 1), block by block.
void BM_PowerEstimates(benchmark::State& bench, float exponent) {
  TRandomLcg random;
  random.Seed(3);
  std::vector<float> values(4096);
  for (float& value : values) value = RawWhiteNoise(random);
  std::vector<double> estimates(values.size());
  for (auto _ : bench) {
    for (size_t start = 0; start < values.size(); start += kBlock)
      PowerEstimates(values.data() + start, kBlock, exponent, estimates.data() + start);
    benchmark::DoNotOptimize(estimates.data());
  }
  bench.SetItemsProcessed(bench.iterations() * static_cast<int64_t>(values.size()));
}

// The gains of a minute at 44.1 kHz, 1 s period, full depth, block by block.
void BM_ModulationGains(benchmark::State& bench, int32_t function) {
  ChannelSettings channel;
  channel.modulationOn = true;
  channel.modulationFunction = function;
  channel.modulationPeriod = 1;
  int64_t frames[kBlock];
  float gains[kBlock];
  int64_t first = 0;
  for (auto _ : bench) {
    for (int32_t j = 0; j < kBlock; ++j) frames[j] = first + j;
    ModulationGains(channel, 44100, frames, kBlock, gains);
    benchmark::DoNotOptimize(gains);
    first = first + kBlock < 60 * 44100 ? first + kBlock : 0;
  }
  bench.SetItemsProcessed(bench.iterations() * kBlock);
}

}  // namespace

BENCHMARK_CAPTURE(BM_PowerEstimates, Pink0955, 0.955f)->MinTime(0.5);
BENCHMARK_CAPTURE(BM_PowerEstimates, Pink0316, 0.3166f)->MinTime(0.5);
BENCHMARK_CAPTURE(BM_PowerEstimates, White7_5, 7.5f)->MinTime(0.5);
BENCHMARK_CAPTURE(BM_ModulationGains, Cosine, static_cast<int32_t>(mfCosine))->MinTime(0.5);
BENCHMARK_CAPTURE(BM_ModulationGains, Square, static_cast<int32_t>(mfSquare))->MinTime(0.5);
