#include "platform/Clock.h"

#include <chrono>

uint32_t TSteadyClock::TickCount() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint64_t TSteadyClock::HighResolutionCounter() {
  return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}
