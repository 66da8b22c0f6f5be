#pragma once

#include "engine/ChannelFilter.h"
#include "engine/GeneratorState.h"
#include "engine/NumberFormat.h"

#include <functional>
#include <optional>
#include <string>

/// The texts of one channel's filter fields and its filter list index.
struct TFilterTexts {
  std::string FZero, Q, Gain;
  int32_t Type = ftNone;
};

/// What preparation reads from the window.
struct TPrepareInput {
  std::string Duration;
  TFilterTexts Left, Right;
};

/// Per channel, set once that channel's filter design has completed.
struct TPrepareOutcome {
  std::optional<TFilterEdits> Left, Right;
};

/// Restarts the signal from the window's texts: frame count from the duration,
/// busy flag, pink rows 0..11, time index, modulation gains, the level
/// validation (`validateLevels`), frame size, then both filters' inputs and
/// designs. Throws EConvertError at a text that does not convert; the steps
/// before it have taken effect. Sample rate and width come from `state`.
void Preparevariables(GeneratorState& state, const TPrepareInput& input, const TNumberFormat& fmt,
                      const std::function<void()>& validateLevels, TPrepareOutcome& outcome);

/// Round(duration x sampleRate), ties to even, held within the frame count's range.
TFrameCount FramesForDuration(long double seconds, int32_t sampleRate) noexcept;
