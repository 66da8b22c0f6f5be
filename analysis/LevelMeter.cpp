#include "analysis/LevelMeter.h"

#include <algorithm>

void TLevelMeter::Reset(int64_t windowFrames, int64_t holdFrames, int64_t stretchFrames, double fullScale) {
  FWindowFrames = std::max<int64_t>(windowFrames, 1);
  FHoldFrames = holdFrames;
  FFullScale = fullScale;
  // Enough stretches to cover the window even when every one is as short as stretchFrames.
  const int64_t stretches = FWindowFrames / std::max<int64_t>(stretchFrames, 1) + 2;
  FRing.assign(static_cast<size_t>(stretches), TLevelSums{});
  FNewest = 0;
  FCount = 0;
  FHeldPeak = 0;
  FHeldAge = 0;
  FClipAge = INT64_MAX / 2;
  FLevels = LevelsOf(TLevelSums{}, FFullScale);
}

void TLevelMeter::Add(const TLevelSums& stretch, int64_t clipped) noexcept {
  if (FRing.empty()) return;
  FClipAge = clipped > 0 ? 0 : std::min(FClipAge + stretch.frames, INT64_MAX / 2);
  FNewest = (FNewest + 1) % FRing.size();
  FRing[FNewest] = stretch;
  FCount = std::min(FCount + 1, FRing.size());

  TLevelSums window;
  for (size_t i = 0; i < FCount && window.frames < FWindowFrames; ++i)
    window.Add(FRing[(FNewest + FRing.size() - i) % FRing.size()]);
  FLevels = LevelsOf(window, FFullScale);

  // The held peak is the stretch's own peak when that is the highest;
  // otherwise it stays until holdFrames have passed, then falls to the
  // window's. A window of silence takes it down at once: nothing is heard.
  FHeldAge += stretch.frames;
  if (window.peak == 0) {
    FHeldPeak = 0;
    FHeldAge = 0;
  } else if (stretch.peak >= FHeldPeak) {
    FHeldPeak = stretch.peak;
    FHeldAge = 0;
  } else if (FHeldAge > FHoldFrames) {
    FHeldPeak = window.peak;
    FHeldAge = 0;
  }
}
