#include "engine/Render.h"

#include "engine/FloatRounding.h"
#include "engine/Modulation.h"
#include "engine/NoiseSources.h"

#include <cmath>
#include <cstring>
#include <numbers>

float sign(float x) noexcept { return x < 0 ? -1.0f : 1.0f; }

float triangle(float x) noexcept {
  const float s = static_cast<float>(sinl(x));
  if (std::fabs(s) == 1) return s;
  const long double ratio = s / sqrtl(1 - static_cast<long double>(s) * s);
  return static_cast<float>(2 / std::numbers::pi_v<long double> * atanl(ratio));
}

namespace {

// Round(v x fullScale x amplitudeGain x modulationGain), the product in
// extended precision. The double product errs by at most 2^-52 relative;
// when that cannot change the rounded integer, it is the result.
inline int32_t ScaleToSample(float v, int32_t fullScale, float amplitudeGain,
                             float modulationGain) noexcept {
  const double estimate = static_cast<double>(v) * fullScale * amplitudeGain * modulationGain;
  const double magnitude = std::fabs(estimate);
  if (magnitude < 0x1p30 && RoundsToSameInteger(estimate, magnitude * 0x1p-50 + 0x1p-60))
    return static_cast<int32_t>(NearestIntegerDouble(estimate));
  return RoundToInt32(static_cast<long double>(v) * fullScale * amplitudeGain * modulationGain);
}

}  // namespace

int32_t RenderChannelSample(GeneratorState& state, TChannel c, int32_t noiseType) noexcept {
  const bool isLeft = c == TChannel::Left;
  ChannelSettings& channel = isLeft ? state.left : state.right;
  if (channel.modulationOn && channel.modulationPeriod != 0)
    channel.modulationGain = ModulationGain(state, channel);
  int32_t x = 0;
  if (noiseType == ntWhite || noiseType == ntPink) {
    const float v = noiseType == ntWhite
                        ? WhiteNoise(state.random, channel.crestExponent)
                        : PinkNoise(state, channel.crestExponent, state.frameIndex);
    x = ScaleToSample(v, state.fullScale, channel.amplitudeGain, channel.modulationGain);
  }
  if (!IsFilterActive(channel.filterType)) return x;
  return FilterStep(isLeft ? state.filterL : state.filterR, x);
}

void StoreSample(uint8_t*& out, int32_t sample, int bytes) noexcept {
  const uint32_t bits = static_cast<uint32_t>(sample);
  out[0] = static_cast<uint8_t>(bits);
  out[1] = static_cast<uint8_t>(bits >> 8);
  if (bytes == 3) out[2] = static_cast<uint8_t>(bits >> 16);
  out += bytes;
}

namespace {

// One frame ends: the time index moves on, and wraps in a loop.
inline void AdvanceFrame(GeneratorState& state, bool loop) noexcept {
  ++state.frameIndex;
  if (loop && state.frameIndex == state.totalFrames) state.frameIndex = 0;
}

}  // namespace

TFillResult FillBuffer(GeneratorState& state, uint8_t* buffer, int32_t size, int64_t ringBytes) noexcept {
  const int32_t noiseLeft = state.left.noiseType;
  const int32_t noiseRight = state.right.noiseType;
  const bool asLeft = state.asLeft;
  const bool loop = state.loop;
  if (state.fillBusy) {
    state.fillBusy = false;
    return TFillResult::PerformanceIssue;
  }
  state.fillBusy = true;

  const bool stereo = state.channels == cmStereo;
  const int sampleBytes = state.bitsPerSample == 24 ? 3 : 2;
  const int frameBytes = stereo ? 2 * sampleBytes : sampleBytes;
  const int32_t frames = size > 0 ? size / frameBytes : 0;
  uint8_t* out = buffer;
  for (int32_t i = 0; i < frames; ++i) {
    if (loop || state.frameIndex < state.totalFrames) {
      const int32_t l = RenderChannelSample(state, TChannel::Left, noiseLeft);
      if (stereo) {
        const int32_t left = state.left.channelOn != 0 ? l : 0;
        StoreSample(out, left, sampleBytes);
        int32_t right = left;
        if (!asLeft) {
          right = RenderChannelSample(state, TChannel::Right, noiseRight);
          if (state.right.channelOn == 0) right = 0;
        }
        StoreSample(out, right, sampleBytes);
      } else {
        StoreSample(out, l, sampleBytes);
      }
    } else {
      std::memset(out, 0, frameBytes);
      out += frameBytes;
    }
    AdvanceFrame(state, loop);
  }
  std::memset(out, 0, static_cast<size_t>(buffer + (size > 0 ? size : 0) - out));

  TFillResult result = TFillResult::Continue;
  if (state.frameIndex >= state.totalFrames && !state.loop &&
      ringBytes <= static_cast<int64_t>(state.frameIndex) * state.bytesPerFrame)
    result = TFillResult::End;
  state.fillBusy = false;
  return result;
}
