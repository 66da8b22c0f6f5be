#pragma once
// A clock that only moves when a test (or the fake loop's Sleep) moves it.

#include "platform/Clock.h"

class TFakeClock final : public TClock {
public:
  uint32_t TickCount() override { return static_cast<uint32_t>(NowMs); }
  uint64_t HighResolutionCounter() override { return NowMs * 1000; }
  /// Moves the clock on by ms milliseconds.
  void Advance(uint64_t ms) { NowMs += ms; }

  uint64_t NowMs = 0;
};
