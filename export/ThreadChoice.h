#pragma once
// Whether the next call of the export renders on two threads or on the
// calling thread alone, by the time per frame each way took lately. Two
// threads hand work over every few microseconds, so they are much faster
// only while both have a processor: when other programs keep a processor
// busy, one thread alone is faster. Now and then the other way is tried
// again, so that the choice follows the machine's load.

#include <cstdint>

class TThreadChoice {
public:
  bool TwoThreads() const noexcept;
  /// Notes how long a call of `frames` frames took the way it went.
  void Took(bool twoThreads, int32_t frames, double seconds) noexcept;

private:
  double FPerFrame[2] = {0, 0};  // seconds per frame lately, alone and on two threads; 0: not yet known
  uint32_t FCalls = 0;
};
