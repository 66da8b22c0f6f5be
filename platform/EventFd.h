#pragma once
// A counter in the kernel that one thread raises to wake another, which
// polls its descriptor: safe to signal from any thread, also a real-time
// one, without a lock.

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

class TEventFd {
public:
  TEventFd() : FFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
  ~TEventFd() {
    if (FFd >= 0) close(FFd);
  }
  TEventFd(const TEventFd&) = delete;
  TEventFd& operator=(const TEventFd&) = delete;

  int Fd() const noexcept { return FFd; }
  /// Makes the descriptor readable.
  void Signal() const noexcept {
    const uint64_t one = 1;
    [[maybe_unused]] auto written = write(FFd, &one, sizeof one);
  }
  /// Reads the descriptor empty; true when it had been signalled.
  bool Clear() const noexcept { return Drain(FFd); }

  /// Clear on an eventfd owned elsewhere. One read takes the whole count
  /// and leaves the descriptor unreadable.
  static bool Drain(int fd) noexcept {
    uint64_t count;
    return read(fd, &count, sizeof count) > 0;
  }

private:
  int FFd;
};
