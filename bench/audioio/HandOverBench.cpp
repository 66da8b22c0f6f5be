// The cost of handing a buffer between the GUI thread and the device thread:
// one push and one pop of the lock-free ring.

#include "AudioIO/SpscRing.h"
#include "platform/WaveOutDevice.h"

#include <benchmark/benchmark.h>


namespace {

void BM_RingPushPop(benchmark::State& state) {
  TSpscRing<TWaveHdr*, 64> ring;
  TWaveHdr header;
  TWaveHdr* out = nullptr;
  for (auto _ : state) {
    ring.Push(&header);
    ring.Pop(out);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_RingPushPop);

}  // namespace

BENCHMARK_MAIN();
