#pragma once
// Whether the next call of the export renders on two threads or on the
// calling thread alone, by the time per frame each way took lately. Two
// threads hand work over every few microseconds, so they are much faster
// only while both have a processor: when other programs keep a processor
// busy, one thread alone is faster. Now and then the other way is tried
// again, so that the choice follows the machine's load. Each way counts
// with its best recent pace, so that one call held up by the system does
// not turn the choice.

#include <cstdint>

class TThreadChoice {
public:
  bool TwoThreads() const noexcept;
  /// Notes how long a call of `frames` frames took the way it went.
  void Took(bool twoThreads, int32_t frames, double seconds) noexcept;

private:
  static constexpr int kKept = 4;
  /// The best of the kept paces of a way (0 alone, 1 two threads); 0 when none is known.
  double Pace(int way) const noexcept;

  double FPerFrame[2][kKept] = {};  // the latest seconds per frame of each way; 0: none yet
  uint32_t FNext[2] = {0, 0};      // where each way keeps its next pace
  uint32_t FCalls = 0;
};
