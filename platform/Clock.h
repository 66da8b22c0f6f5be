#pragma once

#include <cstdint>

class TClock {
public:
  virtual ~TClock() = default;
  /// Milliseconds since an arbitrary start, wrapping at 2^32.
  virtual uint32_t TickCount() = 0;
  /// A fast-running counter; its low 32 bits seed the random generator.
  virtual uint64_t HighResolutionCounter() = 0;
};

/// The clock of the running program, on the monotonic system clock.
class TSteadyClock final : public TClock {
public:
  uint32_t TickCount() override;
  uint64_t HighResolutionCounter() override;
};
