#pragma once

#include "engine/ChannelFilter.h"
#include "engine/ChannelSettings.h"
#include "engine/RandomLcg.h"

#include <cstdint>

/// Frame counts of a signal (duration x rate, time index); 64 bits, so that
/// long signals at high rates do not overflow.
using TFrameCount = int64_t;

/// Item indexes of the channel-mode list.
enum TChannelMode : int32_t { cmMono = 0, cmStereo = 1 };

/// The last modulation gain computed, so that a second channel with the same
/// modulation settings at the same frame does not compute it again.
struct TModulationMemo {
  int64_t frame = -1;
  int32_t sampleRate = 0, function = 0;
  float period = 0, phase = 0, depth = 0, gain = 1;
};

/// Everything one generator window renders from: both channels' settings, the
/// signal's frame counters, the shared pink rows, the two filters and the
/// random generator. Owned by the window; used on one thread at a time.
struct GeneratorState {
  /// Seeds the random generator from the high-resolution clock.
  GeneratorState();

  int32_t sampleRate = 44100;
  int32_t bitsPerSample = 16;
  int32_t channels = cmStereo;
  bool asLeft = false;
  bool loop = false;
  TFrameCount totalFrames = 0;
  TFrameCount frameIndex = 0;
  int32_t bytesPerFrame = 4;
  int32_t fullScale = 32767;
  bool fillBusy = false;
  float pinkRows[13] = {};
  ChannelFilter filterL, filterR;
  ChannelSettings left, right;
  TRandomLcg random;
  TModulationMemo modulationMemo;
  /// Samples the store step saturated (beyond full scale before the clamp),
  /// left and right as stored, since this state was made.
  int64_t clipped[2] = {};
};

/// 2^(bits-1) - 1: 32767 at 16 bits, 8388607 at 24 bits.
int32_t FullScaleFor(int32_t bitsPerSample) noexcept;
