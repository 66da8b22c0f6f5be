#include "AudioIO/RealtimeScheduling.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>

namespace {
// Low among real-time priorities: above every ordinary process, below the
// desktop's sound server and the audio back-end's callback thread.
constexpr int RenderPriority = 10;
// A device with a clock takes at most its buffer ahead of real time; one
// without takes audio many times faster. Twice real time plus a second
// tells them apart.
constexpr double PaceFactor = 2.0;
constexpr double PaceAllowanceSeconds = 1.0;
}  // namespace

bool RequestRealtimeScheduling() noexcept {
  sched_param parameters{};
  parameters.sched_priority = std::clamp(RenderPriority, sched_get_priority_min(SCHED_FIFO),
                                         sched_get_priority_max(SCHED_FIFO));
  return pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters) == 0;
}

void LeaveRealtimeScheduling() noexcept {
  sched_param parameters{};
  pthread_setschedparam(pthread_self(), SCHED_OTHER, &parameters);
}

void TPaceWatch::Start(uint32_t framesPerSecond) noexcept {
  FStart = TClock::now();
  FFrames = 0;
  FRate = std::max<uint32_t>(framesPerSecond, 1);
  FReleased = false;
}

void TPaceWatch::Handled(uint64_t frames) noexcept {
  if (Released()) return;
  FFrames += frames;
  const double elapsed = std::chrono::duration<double>(TClock::now() - FStart).count();
  if (static_cast<double>(FFrames) / FRate <= PaceFactor * elapsed + PaceAllowanceSeconds) return;
  LeaveRealtimeScheduling();
  FReleased.store(true, std::memory_order_relaxed);
}
