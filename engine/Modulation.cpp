#include "engine/Modulation.h"

#include "engine/FloatRounding.h"
#include "engine/Render.h"

#include <cmath>
#include <limits>
#include <numbers>

long double ModulationAngle(int64_t frame, int32_t sampleRate, float period, float phase) noexcept {
  return static_cast<long double>(frame) / sampleRate * (2 * std::numbers::pi_v<long double>) /
             period + phase;
}

bool ModulationRuns(const ChannelSettings& channel) noexcept {
  const int32_t function = channel.modulationFunction;
  return channel.modulationOn && function >= mfSine && function <= mfTriangular &&
         channel.modulationPeriod > 0 && std::isfinite(channel.modulationPhase);
}

namespace {

// 1 - depth x 0.5 x t, in 32-bit steps, from t = m + 1; the depth is held
// within 0..1 (anything else, NaN included, could push the gain outside).
float GainFromTerm(float t, float depth) noexcept {
  const float heldDepth = depth >= 0 ? (depth <= 1 ? depth : 1.0f) : 0.0f;
  const float half = 0.5f * heldDepth;
  const float scaled = half * t;
  return 1.0f - scaled;
}

// m + 1 rounded to 32 bits, by the definition; NaN when the angle has no
// value the function can take (a triangular angle beyond the 32-bit range,
// from a period near the smallest float), where the gain stays as it is.
float TermExact(int64_t frame, int32_t sampleRate, const ChannelSettings& channel) noexcept {
  const long double theta =
      ModulationAngle(frame, sampleRate, channel.modulationPeriod, channel.modulationPhase);
  long double m;
  switch (channel.modulationFunction) {
    case mfSine: m = sinl(theta); break;
    case mfCosine: m = cosl(theta); break;
    case mfSquare: m = sign(static_cast<float>(sinl(theta))); break;
    default: {
      const float angle = static_cast<float>(theta);
      if (!std::isfinite(angle)) return std::numeric_limits<float>::quiet_NaN();
      m = triangle(angle);
      break;
    }
  }
  return static_cast<float>(m + 1);
}

// The gain from the term t, or `current` when there is no term.
float GainOrKeep(float t, float depth, float current) noexcept {
  return t == t ? GainFromTerm(t, depth) : current;
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
  return GainOrKeep(TermExact(frame, sampleRate, channel), channel.modulationDepth,
                    channel.modulationGain);
}

float ModulationGain(GeneratorState& state, const ChannelSettings& channel, int64_t frame) noexcept {
  TModulationMemo& memo = state.modulationMemo;
  // The memo holds NaN where the gain stays as it is: each channel keeps its own.
  if (!(memo.frame == frame && memo.sampleRate == state.sampleRate &&
        memo.function == channel.modulationFunction && memo.period == channel.modulationPeriod &&
        memo.phase == channel.modulationPhase && memo.depth == channel.modulationDepth)) {
    const float term = TermFast(frame, state.sampleRate, channel);
    memo = {frame, state.sampleRate, channel.modulationFunction, channel.modulationPeriod,
            channel.modulationPhase, channel.modulationDepth,
            term == term ? GainFromTerm(term, channel.modulationDepth) : term};
  }
  return memo.gain == memo.gain ? memo.gain : channel.modulationGain;
}

float DepthFraction(long double percent) noexcept { return static_cast<float>(percent * 0.01L); }

bool SameModulation(const ChannelSettings& a, const ChannelSettings& b) noexcept {
  return a.modulationFunction == b.modulationFunction && a.modulationPeriod == b.modulationPeriod &&
         a.modulationPhase == b.modulationPhase && a.modulationDepth == b.modulationDepth;
}

namespace {

// Tracks (cos theta, sin theta) from frame to frame by rotating through the
// step angle, with a bound on its distance from the extended-precision
// values: the start's bound as in TermFast, and per rotation the rounding
// of the step's cosine and sine (2^-53 each), of the rotation itself (a few
// ulps) and of the step angle (2^-52 of it), all covered by (step + 4) x 2^-50.
struct TPhasor {
  double step, cosStep, sinStep, perRotation;
  double c = 1, s = 0, bound = 0;
  int64_t frame = -2;

  TPhasor(int32_t sampleRate, float period) {
    step = 2 * std::numbers::pi / (static_cast<double>(sampleRate) * period);
    cosStep = std::cos(step);
    sinStep = std::sin(step);
    perRotation = (std::fabs(step) + 4) * 0x1p-50;
  }

  void MoveTo(int64_t n, float phase) noexcept {
    if (n == frame + 1) {
      const double nc = c * cosStep - s * sinStep;
      s = s * cosStep + c * sinStep;
      c = nc;
      bound += perRotation;
    } else {
      const double advance = static_cast<double>(n) * step;
      const double theta = advance + phase;
      c = std::cos(theta);
      s = std::sin(theta);
      bound = (std::fabs(advance) + std::fabs(phase) + 2) * 0x1p-49;
    }
    frame = n;
  }
};

}  // namespace

namespace {

// Four phasors side by side, for consecutive frames: lane k tracks frames
// k, k + 4, k + 8, ... of a run and rotates by four steps at a time, so the
// four rotations of a round are independent. A lane's distance from the
// extended-precision values after frame j is at most the start's bound plus
// j x perRotation: four steps' rounding, (4 step + 4) x 2^-50, is within
// four single steps' bound.
struct TFourPhasors {
  typedef double TLanes __attribute__((vector_size(32)));
  TLanes c, s;
  double cosFour, sinFour, start, perRotation;

  TFourPhasors(int32_t sampleRate, const ChannelSettings& channel, int64_t frame) {
    TPhasor one(sampleRate, channel.modulationPeriod);
    one.MoveTo(frame, channel.modulationPhase);
    start = one.bound;
    perRotation = one.perRotation;
    for (int k = 0; k < 4; ++k) {
      if (k > 0) one.MoveTo(frame + k, channel.modulationPhase);
      c[k] = one.c;
      s[k] = one.s;
    }
    cosFour = std::cos(4 * one.step);
    sinFour = std::sin(4 * one.step);
  }

  // The cosines and sines of the next four frames into c4[0..4), s4[0..4).
  void Next(double* c4, double* s4) noexcept {
    for (int k = 0; k < 4; ++k) {
      c4[k] = c[k];
      s4[k] = s[k];
    }
    const TLanes nc = c * cosFour - s * sinFour;
    s = s * cosFour + c * sinFour;
    c = nc;
  }
};

bool Consecutive(const int64_t* frames, int32_t count) noexcept {
  return count > 0 && frames[count - 1] - frames[0] == count - 1;
}

// Gains from the estimates m[j] of a run (sines or cosines), frame j of
// the run within start + (first + j) x perRotation of its extended value:
// undecided[j] is set where that bound does not decide the 32-bit term.
// No branch per frame, so the frames go side by side.
__attribute__((target_clones("avx2", "default"))) void GainsOfEstimates(
    const double* m, int32_t n, bool square, double start, double perRotation, int32_t first, float depth,
    float* gains, uint8_t* undecided) noexcept {
  for (int32_t j = 0; j < n; ++j) {
    const double bound = start + static_cast<double>(first + j) * perRotation;
    const double estimate = m[j] + 1;
    const bool decided = square ? std::fabs(m[j]) > bound : RoundsToSameFloat(estimate, bound);
    const float t = square ? (m[j] < 0 ? 0.0f : 2.0f) : static_cast<float>(estimate);
    undecided[j] = !decided;
    gains[j] = GainFromTerm(t, depth);
  }
}

// Gains of a run of consecutive frames of a rotating function (sine,
// cosine, square): every estimate first, then the rare undecided terms by
// the definition. The gain never stays as it is for these functions.
void RotatedGains(const ChannelSettings& channel, int32_t sampleRate, int64_t first, int32_t count,
                  float* gains) noexcept {
  constexpr int32_t Run = 64;
  const int32_t function = channel.modulationFunction;
  TFourPhasors phasors(sampleRate, channel, first);
  alignas(32) double cosines[Run + 3], sines[Run + 3];
  uint8_t undecided[Run];
  for (int32_t done = 0; done < count; done += Run) {
    const int32_t n = count - done < Run ? count - done : Run;
    for (int32_t j = 0; j < n; j += 4) phasors.Next(cosines + j, sines + j);
    GainsOfEstimates(function == mfCosine ? cosines : sines, n, function == mfSquare, phasors.start,
                     phasors.perRotation, done, channel.modulationDepth, gains + done, undecided);
    for (int32_t j = 0; j < n; ++j)
      if (undecided[j])
        gains[done + j] = GainFromTerm(TermExact(first + done + j, sampleRate, channel), channel.modulationDepth);
  }
}

}  // namespace

void ModulationGains(const ChannelSettings& channel, int32_t sampleRate, const int64_t* frames,
                     int32_t count, float* gains) noexcept {
  const int32_t function = channel.modulationFunction;
  TPhasor phasor(sampleRate, channel.modulationPeriod);
  // A period so short that the step overflows goes by the definition.
  const bool rotates = (function == mfSine || function == mfCosine || function == mfSquare) &&
                       std::isfinite(phasor.perRotation);
  if (rotates && Consecutive(frames, count)) {
    RotatedGains(channel, sampleRate, frames[0], count, gains);
    return;
  }
  for (int32_t j = 0; j < count; ++j) {
    float t = 0;
    bool decided = false;
    if (rotates) {
      phasor.MoveTo(frames[j], channel.modulationPhase);
      if (function == mfSquare) {
        decided = std::fabs(phasor.s) > phasor.bound;
        t = phasor.s < 0 ? 0.0f : 2.0f;
      } else {
        const double estimate = (function == mfSine ? phasor.s : phasor.c) + 1;
        decided = RoundsToSameFloat(estimate, phasor.bound);
        t = static_cast<float>(estimate);
      }
    }
    if (!decided) t = TermExact(frames[j], sampleRate, channel);
    gains[j] = GainOrKeep(t, channel.modulationDepth, j > 0 ? gains[j - 1] : channel.modulationGain);
  }
}
