#pragma once
// The lost state of an open stream, shared between the thread that sees the
// device go and come back (a sound server's main loop, a watchdog) and the
// GUI thread that tells the stream's target. Lock-free: the device side
// stores a time and raises a wake; the GUI side delivers what changed since
// it last looked, so a loss and return between two looks still arrive both.

#include "platform/WaveOutDevice.h"

#include <atomic>
#include <cstdint>

class TDeviceLoss {
public:
  /// Any thread: the device went away at nowNs (steady clock). True when it
  /// was not lost already (the caller then wakes the GUI thread).
  bool MarkLost(int64_t nowNs) noexcept;
  /// Any thread: the device plays again; the length of the loss in ns, 0 when it was not lost.
  int64_t MarkBack(int64_t nowNs) noexcept;
  /// Lost now.
  bool Lost() const noexcept { return FLostSinceNs.load(std::memory_order_acquire) != 0; }
  /// Steady-clock ns when the current loss began; 0 when not lost.
  int64_t LostSinceNs() const noexcept { return FLostSinceNs.load(std::memory_order_acquire); }
  /// GUI thread: runs target's WomLost / WomBack for the changes it has not seen yet.
  void Deliver(TWaveOutTarget* target);
  /// GUI thread, stream closed or opened: forgets every loss.
  void Clear() noexcept;

private:
  std::atomic<int64_t> FLostSinceNs{0};
  std::atomic<uint32_t> FLosses{0};  // losses begun
  std::atomic<uint32_t> FReturns{0};  // losses ended
  uint32_t FShownLosses = 0, FShownReturns = 0;  // GUI thread
};

/// The steady clock in ns, as the loss is timed.
int64_t SteadyNowNs() noexcept;
