#include "engine/Modulation.h"

#include "engine/FloatRounding.h"
#include "engine/Render.h"
#include "engine/TargetClones.h"

#include <cmath>
#include <cstring>
#include <immintrin.h>
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

// 0.5 x depth in 32 bits, the depth held within 0..1 (anything else, NaN
// included, could push the gain outside).
float HalfDepth(float depth) noexcept {
  const float heldDepth = depth >= 0 ? (depth <= 1 ? depth : 1.0f) : 0.0f;
  return 0.5f * heldDepth;
}

// 1 - depth x 0.5 x t, in 32-bit steps, from t = m + 1.
float GainFromTerm(float t, float depth) noexcept {
  const float scaled = HalfDepth(depth) * t;
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

// Frames whose gains are worked out in one go (their undecided frames fit
// one 64-bit mask).
constexpr int32_t RunFrames = 64;
// The frames from one block's start to the next block's.
constexpr int32_t BlockFrames = TRenderBlock::Frames;

// The rotation constants of one sample rate and period: by one step, by
// four and by a block's frames, each with the bound a rotation adds (see
// TPhasor). Their sines and cosines cost as much as the rest of a block's
// gains, and the settings rarely change between blocks, so each thread
// keeps the last ones (and hands out copies).
struct TStepConstants {
  bool filled = false;
  int32_t sampleRate = 0;
  float period = 0;
  double step = 0, cosStep = 1, sinStep = 0, cosFour = 1, sinFour = 0, perRotation = 0;
  double cosBlock = 1, sinBlock = 0, perBlock = 0;
};

TStepConstants StepConstants(int32_t sampleRate, float period) noexcept {
  thread_local TStepConstants last;
  if (!(last.filled && last.sampleRate == sampleRate && last.period == period)) {
    const double step = 2 * std::numbers::pi / (static_cast<double>(sampleRate) * period);
    const double block = BlockFrames * step;
    last = {true,
            sampleRate,
            period,
            step,
            std::cos(step),
            std::sin(step),
            std::cos(4 * step),
            std::sin(4 * step),
            (std::fabs(step) + 4) * 0x1p-50,
            std::cos(block),
            std::sin(block),
            (std::fabs(block) + 4) * 0x1p-50};
  }
  return last;
}

// Tracks (cos theta, sin theta) from frame to frame by rotating through the
// step angle, with a bound on its distance from the extended-precision
// values: the start's bound as in TermFast, and per rotation the rounding
// of the step's cosine and sine (2^-53 each), of the rotation itself (a few
// ulps) and of the step angle (2^-52 of it), all covered by (step + 4) x 2^-50.
// A rotation by any other angle a adds (a + 4) x 2^-50 the same way.
struct TPhasor {
  const TStepConstants& constants;
  double c = 1, s = 0, bound = 0;
  int64_t frame = -2;

  explicit TPhasor(const TStepConstants& stepConstants) : constants(stepConstants) {}

  void MoveTo(int64_t n, float phase) noexcept {
    if (n == frame + 1) {
      const double nc = c * constants.cosStep - s * constants.sinStep;
      s = s * constants.cosStep + c * constants.sinStep;
      c = nc;
      bound += constants.perRotation;
    } else {
      const double advance = static_cast<double>(n) * constants.step;
      const double theta = advance + phase;
      c = std::cos(theta);
      s = std::sin(theta);
      bound = (std::fabs(advance) + std::fabs(phase) + 2) * 0x1p-49;
    }
    frame = n;
  }

  // Frame n at (cn, sn), within boundN of the extended-precision values.
  void Place(int64_t n, double cn, double sn, double boundN) noexcept {
    frame = n;
    c = cn;
    s = sn;
    bound = boundN;
  }
};

// Where this thread's last block of consecutive frames started, so that
// the next block starts by one rotation instead of new sines. The rotations
// add their bound (the block's angle + 4) x 2^-50 each; after 64 of them a
// block starts from new sines again.
struct TRunAnchor {
  bool filled = false;
  int32_t sampleRate = 0, rotations = 0;
  float period = 0, phase = 0;
  int64_t frame = 0;
  double c = 1, s = 0, bound = 0;
};

TPhasor RunStart(const TStepConstants& constants, float phase, int64_t frame) noexcept {
  thread_local TRunAnchor last;
  TPhasor one(constants);
  if (last.filled && last.sampleRate == constants.sampleRate && last.period == constants.period &&
      last.phase == phase && last.frame + BlockFrames == frame && last.rotations < 64) {
    one.Place(frame, last.c * constants.cosBlock - last.s * constants.sinBlock,
              last.s * constants.cosBlock + last.c * constants.sinBlock, last.bound + constants.perBlock);
    ++last.rotations;
  } else {
    one.MoveTo(frame, phase);
    last.rotations = 0;
  }
  last.filled = true;
  last.sampleRate = constants.sampleRate;
  last.period = constants.period;
  last.phase = phase;
  last.frame = frame;
  last.c = one.c;
  last.s = one.s;
  last.bound = one.bound;
  return one;
}

typedef double TLanes __attribute__((vector_size(32)));
typedef float TFloatLanes __attribute__((vector_size(16)));
typedef int32_t TFloatMask __attribute__((vector_size(16)));

// Four phasors side by side, for consecutive frames: lane k tracks frames
// k, k + 4, k + 8, ... of a run and rotates by four steps at a time, so the
// four rotations of a round are independent. A lane's distance from the
// extended-precision values after frame j is at most the start's bound plus
// j x perRotation: four steps' rounding, (4 step + 4) x 2^-50, is within
// four single steps' bound.
struct TFourPhasors {
  TLanes c, s;
  double cosFour, sinFour, start, perRotation;

  TFourPhasors(const TStepConstants& constants, float phase, int64_t frame) {
    TPhasor one = RunStart(constants, phase, frame);
    start = one.bound;
    perRotation = constants.perRotation;
    for (int k = 0; k < 4; ++k) {
      if (k > 0) one.MoveTo(frame + k, phase);
      c[k] = one.c;
      s[k] = one.s;
    }
    cosFour = constants.cosFour;
    sinFour = constants.sinFour;
  }

  void Rotate() noexcept {
    const TLanes nc = c * cosFour - s * sinFour;
    s = s * cosFour + c * sinFour;
    c = nc;
  }
};

bool Consecutive(const int64_t* frames, int32_t count) noexcept {
  return count > 0 && frames[count - 1] - frames[0] == count - 1;
}

// Gains of the next n <= RunFrames frames of a run from the phasors' estimates
// (sines or cosines), frame j of the run within start + (first + j) x
// perRotation of its extended value; the frames whose 32-bit term that
// bound does not decide come back as bits (bit j for frame j), their gains
// unset. Four frames side by side, the steps of GainFromTerm lane by lane.
ZEPHYRA_AVX2_CLONES uint64_t GainsOfRun(TFourPhasors& phasors, int32_t function, float depth, int32_t first,
                                        int32_t n, float* gains) noexcept {
  const float half = HalfDepth(depth);
  uint64_t undecided = 0;
  // The lanes in registers: stores to `gains` could otherwise be stores to them.
  TFourPhasors lanes = phasors;
  TLanes frame = {static_cast<double>(first), static_cast<double>(first + 1), static_cast<double>(first + 2),
                  static_cast<double>(first + 3)};
  for (int32_t j = 0; j < n; j += 4, frame += 4) {
    const TLanes m = function == mfCosine ? lanes.c : lanes.s;
    const TLanes bound = lanes.start + frame * lanes.perRotation;
    TFloatLanes t;
    TFloatMask decided;
    if (function == mfSquare) {
      const TLanes magnitude = m < 0 ? -m : m;
      decided = __builtin_convertvector(magnitude > bound, TFloatMask);
      t = __builtin_convertvector(m < 0, TFloatMask) ? TFloatLanes{} + 0.0f : TFloatLanes{} + 2.0f;
    } else {
      const TLanes estimate = m + 1;
      decided = __builtin_convertvector(estimate - bound, TFloatLanes) ==
                __builtin_convertvector(estimate + bound, TFloatLanes);
      t = __builtin_convertvector(estimate, TFloatLanes);
    }
    const TFloatLanes gain = 1.0f - half * t;
    if (j + 4 <= n)
      std::memcpy(gains + j, &gain, sizeof gain);
    else
      for (int32_t k = 0; j + k < n; ++k) gains[j + k] = gain[k];
    undecided |= static_cast<uint64_t>(~_mm_movemask_ps(reinterpret_cast<__m128>(decided)) & 15) << j;
    lanes.Rotate();
  }
  phasors = lanes;
  static_assert(RunFrames <= 64, "a run's undecided frames fit one mask");
  return n < 64 ? undecided & ((uint64_t{1} << n) - 1) : undecided;
}

// Gains of a run of consecutive frames of a rotating function (sine,
// cosine, square): every estimate first, then the rare undecided terms by
// the definition. The gain never stays as it is for these functions.
void RotatedGains(const ChannelSettings& channel, const TStepConstants& constants, int32_t sampleRate,
                  int64_t first, int32_t count, float* gains) noexcept {
  TFourPhasors phasors(constants, channel.modulationPhase, first);
  for (int32_t done = 0; done < count; done += RunFrames) {
    const int32_t n = count - done < RunFrames ? count - done : RunFrames;
    for (uint64_t undecided = GainsOfRun(phasors, channel.modulationFunction, channel.modulationDepth, done, n,
                                         gains + done);
         undecided != 0; undecided &= undecided - 1) {
      const int32_t j = done + __builtin_ctzll(undecided);
      gains[j] = GainFromTerm(TermExact(first + j, sampleRate, channel), channel.modulationDepth);
    }
  }
}

}  // namespace

void ModulationGains(const ChannelSettings& channel, int32_t sampleRate, const int64_t* frames,
                     int32_t count, float* gains) noexcept {
  const int32_t function = channel.modulationFunction;
  const TStepConstants constants = StepConstants(sampleRate, channel.modulationPeriod);
  TPhasor phasor(constants);
  // A period so short that the step overflows goes by the definition.
  const bool rotates = (function == mfSine || function == mfCosine || function == mfSquare) &&
                       std::isfinite(constants.perRotation);
  if (rotates && Consecutive(frames, count)) {
    RotatedGains(channel, constants, sampleRate, frames[0], count, gains);
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
