#pragma once
// The running level of one channel: RMS, peak and crest factor over the
// last stretch of about windowFrames frames, and the peak held for a while.
// It moves by whole stretches (one output buffer each), so it measures
// exactly the audio that was played, in the order it was played.

#include "analysis/LevelText.h"

#include <cstdint>
#include <vector>

class TLevelMeter {
public:
  /// Clears the meter and sizes its ring for stretches of stretchFrames
  /// frames (the only allocation). Levels are relative to fullScale.
  void Reset(int64_t windowFrames, int64_t holdFrames, int64_t stretchFrames, double fullScale);
  /// The next stretch played, with the samples in it that the store step
  /// saturated. Allocates nothing.
  void Add(const TLevelSums& stretch, int64_t clipped = 0) noexcept;

  /// The figures of the newest stretches that make up the window (at least
  /// one); silence before the first stretch.
  const TLevels& Levels() const noexcept { return FLevels; }
  /// The highest peak of the last holdFrames frames, in dBFS; silence
  /// (-inf) as soon as the whole window is silent.
  double HeldPeakDb() const noexcept { return DbFs(static_cast<double>(FHeldPeak), FFullScale); }
  /// A saturated sample was played within the last holdFrames frames.
  bool Clipping() const noexcept { return FClipAge <= FHoldFrames; }

private:
  std::vector<TLevelSums> FRing;
  size_t FNewest = 0;
  size_t FCount = 0;
  int64_t FWindowFrames = 0;
  int64_t FHoldFrames = 0;
  int64_t FHeldPeak = 0;
  int64_t FHeldAge = 0;
  int64_t FClipAge = INT64_MAX / 2;  // frames played since the last saturated one
  double FFullScale = 1;
  TLevels FLevels{};
};
