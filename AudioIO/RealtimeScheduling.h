#pragma once
// Real-time scheduling for the threads that feed a sound device, and its
// release where the device has no clock of its own.

#include <atomic>
#include <chrono>
#include <cstdint>

/// Asks the system to run the calling thread at real-time priority (FIFO,
/// below the sound server's usual priority). True when granted; where the
/// system refuses (no rtprio limit for the user), the thread runs on as it was.
bool RequestRealtimeScheduling() noexcept;
/// Returns the calling thread to ordinary scheduling.
void LeaveRealtimeScheduling() noexcept;

/// Watches how fast a thread hands audio to its device. A device without a
/// clock (a file or null device) takes audio as fast as it comes, and a
/// real-time thread feeding it would never block and starve the desktop;
/// the watch returns such a thread to ordinary scheduling. Allocates nothing.
class TPaceWatch {
public:
  /// framesPerSecond: the stream's rate.
  void Start(uint32_t framesPerSecond) noexcept;
  /// The calling thread handled frames more; it may leave real-time scheduling here.
  void Handled(uint64_t frames) noexcept;
  /// The thread was fed faster than real time: the device has no clock. Any thread may ask.
  bool Released() const noexcept { return FReleased.load(std::memory_order_relaxed); }

private:
  using TClock = std::chrono::steady_clock;
  TClock::time_point FStart;
  uint64_t FFrames = 0;
  uint32_t FRate = 0;
  std::atomic<bool> FReleased{false};
};
