#pragma once
// A repeating timer that the GUI thread's message loop dispatches like any
// other source: while it runs, OnTick is called on the GUI thread with the
// number of intervals that have passed since the call before (at least one;
// more when the loop was busy).

#include "platform/MessageLoop.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#include <functional>

class TIntervalTimer final : public TMessageSource {
public:
  /// Dispatched by loop from now on, until destroyed.
  explicit TIntervalTimer(TMessageLoop& loop)
      : FLoop(loop), FFd(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
    FLoop.AddSource(*this);
  }
  ~TIntervalTimer() override {
    FLoop.RemoveSource(*this);
    if (FFd >= 0) close(FFd);
  }
  TIntervalTimer(const TIntervalTimer&) = delete;
  TIntervalTimer& operator=(const TIntervalTimer&) = delete;

  int IntervalMs() const { return FIntervalMs; }
  void Start(int intervalMs) {
    FIntervalMs = intervalMs;
    const timespec interval{intervalMs / 1000, (intervalMs % 1000) * 1000000L};
    const itimerspec spec{interval, interval};
    timerfd_settime(FFd, 0, &spec, nullptr);
    FRunning = true;
  }
  void Stop() {
    const itimerspec off{};
    timerfd_settime(FFd, 0, &off, nullptr);
    FRunning = false;
  }
  bool Running() const { return FRunning; }

  std::function<void(uint64_t intervals)> OnTick;

  int WakeDescriptor() const override { return FFd; }
  void Dispatch() override {
    uint64_t intervals = 0;
    if (read(FFd, &intervals, sizeof intervals) != sizeof intervals) return;
    if (FRunning && OnTick) OnTick(intervals);
  }

private:
  TMessageLoop& FLoop;
  int FFd;
  bool FRunning = false;
  int FIntervalMs = 0;
};
