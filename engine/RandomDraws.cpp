#include "engine/RandomDraws.h"

#include "engine/TargetClones.h"

namespace {

// After i steps from seed s the seed is multiplier[i] x s + increment[i]
// (mod 2^32), for i up to a block's draws.
struct TJumpTable {
  uint32_t multiplier[TBlockDraws::Capacity + 1];
  uint32_t increment[TBlockDraws::Capacity + 1];
  TJumpTable() noexcept {
    multiplier[0] = 1;
    increment[0] = 0;
    for (int32_t i = 1; i <= TBlockDraws::Capacity; ++i) {
      multiplier[i] = multiplier[i - 1] * TRandomLcg::Multiplier;
      increment[i] = increment[i - 1] * TRandomLcg::Multiplier + TRandomLcg::Increment;
    }
  }
};

const TJumpTable Jumps;

// The seeds after 1..count steps and the readings asked for. float(seed /
// 2^32) is float(seed) / 2^32, and float(seed) is the correctly rounded sum
// of its exact halves. 2 x seed / 2^32 - 1 is (seed - 2^31) / 2^31 exactly,
// the signed reading of the seed with its top bit flipped.
template <bool Pink, bool White>
ZEPHYRA_AVX2_CLONES void MakeDraws(uint32_t seed, int32_t count, float* pink, float* white) noexcept {
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t next = Jumps.multiplier[i + 1] * seed + Jumps.increment[i + 1];
    if (Pink)
      pink[i] = (static_cast<float>(next >> 16) * 65536.0f + static_cast<float>(next & 0xFFFF)) * 0x1p-32f;
    if (White) white[i] = static_cast<float>(static_cast<int32_t>(next ^ 0x80000000u)) * 0x1p-31f;
  }
}

}  // namespace

void TBlockDraws::Make(TRandomLcg& random, int32_t count, TReadings readings) noexcept {
  if (count <= 0) return;
  const uint32_t seed = random.State();
  if (readings == PinkOnly) MakeDraws<true, false>(seed, count, FPink, FWhite);
  else if (readings == WhiteOnly) MakeDraws<false, true>(seed, count, FPink, FWhite);
  else MakeDraws<true, true>(seed, count, FPink, FWhite);
  random.Seed(Jumps.multiplier[count] * seed + Jumps.increment[count]);
}
