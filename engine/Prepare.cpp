#include "engine/Prepare.h"

#include "engine/Numbers.h"

#include <cmath>
#include <limits>

TFrameCount FramesForDuration(long double seconds, int32_t sampleRate) noexcept {
  const long double frames = std::nearbyint(seconds * sampleRate);
  constexpr auto most = std::numeric_limits<TFrameCount>::max();
  constexpr auto least = std::numeric_limits<TFrameCount>::min();
  if (!(frames == frames)) return 0;
  if (frames >= static_cast<long double>(most)) return most;
  if (frames <= static_cast<long double>(least)) return least;
  return static_cast<TFrameCount>(frames);
}

namespace {

void ReadFilterInputs(ChannelFilter& filter, const TFilterTexts& texts, int32_t sampleRate,
                      const TNumberFormat& fmt) {
  const long double f0 = StrToFloat(texts.FZero, fmt);
  const long double q = StrToFloat(texts.Q, fmt);
  const long double gain = StrToFloat(texts.Gain, fmt);
  SetFilterInputs(filter, f0, q, gain, sampleRate);
}

}  // namespace

void Preparevariables(GeneratorState& state, const TPrepareInput& input, const TNumberFormat& fmt,
                      const std::function<void()>& validateLevels, TPrepareOutcome& outcome) {
  outcome = {};
  state.totalFrames = FramesForDuration(IntlStrToFloat(input.Duration, fmt), state.sampleRate);
  state.fillBusy = false;
  for (int row = 0; row < 12; ++row) state.pinkRows[row] = 0;
  state.frameIndex = 0;
  state.left.modulationGain = 1.0f;
  state.right.modulationGain = 1.0f;
  if (validateLevels) validateLevels();
  state.bytesPerFrame = (state.bitsPerSample / 8) * (state.channels == cmStereo ? 2 : 1);
  ReadFilterInputs(state.filterL, input.Left, state.sampleRate, fmt);
  ReadFilterInputs(state.filterR, input.Right, state.sampleRate, fmt);
  outcome.Left = DesignFilter(state.filterL, input.Left.Type);
  outcome.Right = DesignFilter(state.filterR, input.Right.Type);
}
