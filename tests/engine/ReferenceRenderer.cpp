#include "tests/engine/ReferenceRenderer.h"

#include <cfenv>
#include <algorithm>
#include <cmath>

namespace {

const long double Pi = 3.141592653589793238462643383279502884L;

int32_t RoundHalfEven(long double v) {
  if (v >= 2147483647.0L) return INT32_MAX;
  if (v <= -2147483648.0L) return INT32_MIN;
  return static_cast<int32_t>(llrintl(v));
}

}  // namespace

TReferenceRenderer::TReferenceRenderer(const GeneratorState& prepared)
    : FState(prepared), FSeed(prepared.random.State()) {
  for (int i = 0; i < 13; ++i) FRows[i] = prepared.pinkRows[i];
  auto copy = [](const ChannelFilter& from, TFilter& to) {
    to = {from.b0, from.b1, from.b2, from.a0, from.a1, from.a2};
    to.x1 = from.x1;
    to.x2 = from.x2;
    to.y1 = from.y1;
    to.y2 = from.y2;
  };
  copy(prepared.filterL, FLeft);
  copy(prepared.filterR, FRight);
}

long double TReferenceRenderer::Draw() {
  FSeed = FSeed * 134775813u + 1u;
  return FSeed / 4294967296.0L;
}

float TReferenceRenderer::Shape(float v, float exponent) const {
  if (v == 0) return 0;
  const long double s = v < 0 ? -1.0L : 1.0L;
  return static_cast<float>(s * powl(fabsl(v), exponent));
}

float TReferenceRenderer::Noise(int32_t type, float exponent) {
  if (type == ntWhite) return Shape(static_cast<float>(2 * Draw() - 1), exponent);
  const int64_t n = FState.frameIndex;
  FRows[0] = static_cast<float>(Draw());
  const int64_t masks[12] = {1, 3, 7, 15, 31, 63, 127, 255, 255, 511, 1023, 2047};
  const int64_t matches[12] = {1, 2, 4, 14, 15, 31, 64, 129, 238, 474, 875, 1875};
  for (int row = 1; row <= 12; ++row)
    if ((n & masks[row - 1]) == matches[row - 1]) FRows[row] = static_cast<float>(Draw());
  float sum = 0;
  for (float row : FRows) sum = static_cast<float>(sum + row);
  return Shape(static_cast<float>(sum / 6.5L - 1), exponent);
}

void TReferenceRenderer::Modulate(ChannelSettings& channel) const {
  const long double theta = (static_cast<long double>(FState.frameIndex) / FState.sampleRate) *
                                (2 * Pi) / channel.modulationPeriod +
                            channel.modulationPhase;
  long double m;
  if (channel.modulationFunction == mfSine) {
    m = sinl(theta);
  } else if (channel.modulationFunction == mfCosine) {
    m = cosl(theta);
  } else if (channel.modulationFunction == mfSquare) {
    m = static_cast<float>(sinl(theta)) < 0 ? -1 : 1;
  } else {
    if (!std::isfinite(static_cast<float>(theta))) return;  // the gain stays as it is
    const float s = static_cast<float>(sinl(static_cast<float>(theta)));
    m = fabsl(s) == 1 ? s : static_cast<float>(2 / Pi * atanl(s / sqrtl(1 - (long double)s * s)));
  }
  const float depth = std::isnan(channel.modulationDepth)
                          ? 0.0f
                          : std::min(1.0f, std::max(0.0f, channel.modulationDepth));
  float t = static_cast<float>(m + 1);
  t = static_cast<float>(static_cast<float>(0.5f * depth) * t);
  channel.modulationGain = static_cast<float>(1 - t);
}

int32_t TReferenceRenderer::Step(TFilter& f, int32_t x) {
  long double y = f.b0 / f.a0 * x;
  y = y + f.b1 / f.a0 * f.x1;
  y = y + f.b2 / f.a0 * f.x2;
  y = y - f.a1 / f.a0 * f.y1;
  y = y - f.a2 / f.a0 * f.y2;
  const int32_t out = RoundHalfEven(y);
  f.y2 = f.y1;
  f.x2 = f.x1;
  f.y1 = y;
  f.x1 = x;
  return out;
}

int32_t TReferenceRenderer::Channel(ChannelSettings& channel, TFilter& filter) {
  const bool listed = channel.modulationFunction >= 0 && channel.modulationFunction <= 3;
  if (channel.modulationOn && listed && channel.modulationPeriod > 0 &&
      std::isfinite(channel.modulationPhase))
    Modulate(channel);
  int32_t x = 0;
  if (channel.noiseType == ntWhite || channel.noiseType == ntPink) {
    const float v = Noise(channel.noiseType, channel.crestExponent);
    x = RoundHalfEven(static_cast<long double>(v) * FState.fullScale * channel.amplitudeGain *
                      channel.modulationGain);
  }
  const bool filtered = channel.filterType >= ftPeaking && channel.filterType <= ftNotch;
  return filtered ? Step(filter, x) : x;
}

std::vector<int32_t> TReferenceRenderer::RenderFrames(int64_t frames) {
  std::vector<int32_t> out;
  const bool stereo = FState.channels == cmStereo;
  out.reserve(static_cast<size_t>(frames) * (stereo ? 2 : 1));
  for (int64_t i = 0; i < frames; ++i) {
    if (FState.loop || FState.frameIndex < FState.totalFrames) {
      int32_t l = Channel(FState.left, FLeft);
      if (stereo && FState.left.channelOn == 0) l = 0;
      out.push_back(l);
      if (stereo)
        out.push_back(FState.asLeft ? l : Channel(FState.right, FRight) * (FState.right.channelOn != 0));
    } else {
      out.push_back(0);
      if (stereo) out.push_back(0);
    }
    ++FState.frameIndex;
    if (FState.loop && FState.frameIndex == FState.totalFrames) FState.frameIndex = 0;
  }
  return out;
}
