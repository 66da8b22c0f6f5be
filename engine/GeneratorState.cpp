#include "engine/GeneratorState.h"

#include <chrono>

GeneratorState::GeneratorState() {
  auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  random.Seed(static_cast<uint32_t>(ticks));
}

int32_t FullScaleFor(int32_t bitsPerSample) noexcept {
  return bitsPerSample == 24 ? 8388607 : 32767;
}
