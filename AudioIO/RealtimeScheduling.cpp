#include "AudioIO/RealtimeScheduling.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>

namespace {
// Low among real-time priorities: above every ordinary process, below the
// desktop's sound server and the audio back-end's callback thread.
constexpr int RenderPriority = 10;
}  // namespace

bool RequestRealtimeScheduling() noexcept {
  sched_param parameters{};
  parameters.sched_priority = std::clamp(RenderPriority, sched_get_priority_min(SCHED_FIFO),
                                         sched_get_priority_max(SCHED_FIFO));
  return pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters) == 0;
}
