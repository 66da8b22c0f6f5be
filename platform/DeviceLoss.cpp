#include "platform/DeviceLoss.h"

#include <chrono>

bool TDeviceLoss::MarkLost(int64_t nowNs) noexcept {
  int64_t expected = 0;
  if (!FLostSinceNs.compare_exchange_strong(expected, nowNs > 0 ? nowNs : 1)) return false;
  FLosses.fetch_add(1, std::memory_order_release);
  return true;
}

int64_t TDeviceLoss::MarkBack(int64_t nowNs) noexcept {
  const int64_t since = FLostSinceNs.exchange(0);
  if (since == 0) return 0;
  FReturns.fetch_add(1, std::memory_order_release);
  return nowNs > since ? nowNs - since : 0;
}

void TDeviceLoss::Deliver(TWaveOutTarget* target) {
  // A loss is told before its return, each once, in the order they happened.
  while (true) {
    const uint32_t losses = FLosses.load(std::memory_order_acquire);
    const uint32_t returns = FReturns.load(std::memory_order_acquire);
    if (FShownLosses == FShownReturns && FShownLosses != losses) {
      ++FShownLosses;
      if (target != nullptr) target->WomLost();
    } else if (FShownReturns < FShownLosses && FShownReturns != returns) {
      ++FShownReturns;
      if (target != nullptr) target->WomBack();
    } else {
      return;
    }
  }
}

void TDeviceLoss::Clear() noexcept {
  FLostSinceNs.store(0);
  FShownLosses = FLosses.load();
  FShownReturns = FReturns.load();
  if (FShownReturns != FShownLosses) {
    FReturns.store(FShownLosses);
    FShownReturns = FShownLosses;
  }
}

int64_t SteadyNowNs() noexcept {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
