#pragma once

#include <cstdint>

/// The generator's linear congruential random source. One sequence serves
/// both channels; the order of draws fixes the signal.
class TRandomLcg {
public:
  static constexpr uint32_t Multiplier = 134775813u;
  static constexpr uint32_t Increment = 1u;

  /// Restarts the sequence at `seed`.
  void Seed(uint32_t seed) noexcept { FSeed = seed; }
  /// The current seed (the state before the next draw).
  uint32_t State() const noexcept { return FSeed; }
  /// Advances the seed and returns seed / 2^32, a value in [0, 1).
  double Next() noexcept {
    FSeed = FSeed * Multiplier + Increment;
    return FSeed * 0x1p-32;
  }

private:
  uint32_t FSeed = 0;
};
