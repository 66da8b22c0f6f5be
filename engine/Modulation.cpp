#include "engine/Modulation.h"

#include "engine/FloatRounding.h"
#include "engine/Render.h"

#include <cmath>
#include <numbers>

long double ModulationAngle(int64_t frame, int32_t sampleRate, float period, float phase) noexcept {
  return static_cast<long double>(frame) / sampleRate * (2 * std::numbers::pi_v<long double>) /
             period + phase;
}

namespace {

// 1 - depth x 0.5 x t, in 32-bit steps, from t = m + 1.
float GainFromTerm(float t, float depth) noexcept {
  const float half = 0.5f * depth;
  const float scaled = half * t;
  return 1.0f - scaled;
}

// m + 1 rounded to 32 bits, by the definition.
float TermExact(int64_t frame, int32_t sampleRate, const ChannelSettings& channel) noexcept {
  const long double theta =
      ModulationAngle(frame, sampleRate, channel.modulationPeriod, channel.modulationPhase);
  long double m;
  switch (channel.modulationFunction) {
    case mfSine: m = sinl(theta); break;
    case mfCosine: m = cosl(theta); break;
    case mfSquare: m = sign(static_cast<float>(sinl(theta))); break;
    default: m = triangle(static_cast<float>(theta)); break;
  }
  return static_cast<float>(m + 1);
}

// m + 1 in double with an error bound; falls back to TermExact when the
// bound does not decide the 32-bit result.
float TermFast(int64_t frame, int32_t sampleRate, const ChannelSettings& channel) noexcept {
  const int32_t function = channel.modulationFunction;
  if (function != mfSine && function != mfCosine && function != mfSquare)
    return TermExact(frame, sampleRate, channel);
  const double step = 2 * std::numbers::pi / (static_cast<double>(sampleRate) * channel.modulationPeriod);
  const double advance = static_cast<double>(frame) * step;
  const double theta = advance + channel.modulationPhase;
  // Each double operation above errs by at most 2^-53 relative; together
  // with sin/cos (under one ulp) and the final add this stays well inside
  // the bound, which is four times the worst case.
  const double bound = (std::fabs(advance) + std::fabs(channel.modulationPhase) + 2) * 0x1p-49;
  if (function == mfSquare) {
    const double s = std::sin(theta);
    if (std::fabs(s) > bound) return s < 0 ? 0.0f : 2.0f;
    return TermExact(frame, sampleRate, channel);
  }
  const double t = (function == mfSine ? std::sin(theta) : std::cos(theta)) + 1;
  if (RoundsToSameFloat(t, bound)) return static_cast<float>(t);
  return TermExact(frame, sampleRate, channel);
}

}  // namespace

float ModulationGainAt(int64_t frame, int32_t sampleRate, const ChannelSettings& channel) noexcept {
  return GainFromTerm(TermExact(frame, sampleRate, channel), channel.modulationDepth);
}

float ModulationGain(GeneratorState& state, const ChannelSettings& channel, int64_t frame) noexcept {
  TModulationMemo& memo = state.modulationMemo;
  if (memo.frame == frame && memo.sampleRate == state.sampleRate &&
      memo.function == channel.modulationFunction && memo.period == channel.modulationPeriod &&
      memo.phase == channel.modulationPhase && memo.depth == channel.modulationDepth)
    return memo.gain;
  const float gain =
      GainFromTerm(TermFast(frame, state.sampleRate, channel), channel.modulationDepth);
  memo = {frame, state.sampleRate, channel.modulationFunction, channel.modulationPeriod,
          channel.modulationPhase, channel.modulationDepth, gain};
  return gain;
}
