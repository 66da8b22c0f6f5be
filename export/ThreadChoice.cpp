#include "export/ThreadChoice.h"

namespace {

// Every so many calls go the other way, to see whether it has become faster.
constexpr uint32_t kTryOtherEvery = 32;
// Shorter calls say too little about the pace.
constexpr int32_t kMeasuredFrames = 1000;

}  // namespace

bool TThreadChoice::TwoThreads() const noexcept {
  if (FPerFrame[1] == 0) return true;
  if (FPerFrame[0] == 0) return false;
  const bool twoFaster = FPerFrame[1] <= FPerFrame[0];
  return FCalls % kTryOtherEvery == 0 ? !twoFaster : twoFaster;
}

void TThreadChoice::Took(bool twoThreads, int32_t frames, double seconds) noexcept {
  ++FCalls;
  if (frames < kMeasuredFrames) return;
  double& pace = FPerFrame[twoThreads ? 1 : 0];
  const double now = seconds / frames;
  pace = pace == 0 ? now : (pace + now) / 2;
}
