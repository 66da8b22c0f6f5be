#include "export/ThreadChoice.h"

namespace {

// Every so many calls go the other way, to see whether it has become faster.
constexpr uint32_t kTryOtherEvery = 32;
// Shorter calls say too little about the pace.
constexpr int32_t kMeasuredFrames = 1000;

}  // namespace

double TThreadChoice::Pace(int way) const noexcept {
  double best = 0;
  for (double pace : FPerFrame[way])
    if (pace > 0 && (best == 0 || pace < best)) best = pace;
  return best;
}

bool TThreadChoice::TwoThreads() const noexcept {
  const double two = Pace(1), alone = Pace(0);
  if (two == 0) return true;
  if (alone == 0) return false;
  const bool twoFaster = two <= alone;
  return FCalls % kTryOtherEvery == 0 ? !twoFaster : twoFaster;
}

void TThreadChoice::Took(bool twoThreads, int32_t frames, double seconds) noexcept {
  ++FCalls;
  if (frames < kMeasuredFrames) return;
  const int way = twoThreads ? 1 : 0;
  FPerFrame[way][FNext[way]++ % kKept] = seconds / frames;
}
