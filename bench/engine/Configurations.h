#pragma once

#include "engine/GeneratorState.h"
#include "engine/NumberFormat.h"
#include "engine/Prepare.h"

#include <cstdint>

/// The four signals whose rendering speed the benchmark measures (and whose
/// samples the tests compare against the extended-precision reference).
enum class TBenchSignal {
  White44k,                 ///< 44100 Hz stereo 16-bit white noise
  Pink44k,                  ///< the same with pink noise
  PinkFilterMod44k,         ///< pink, Peaking filter and Cosine modulation on both channels
  PinkFilterMod192k24Bit,   ///< the previous at 192000 Hz, 24-bit
};

constexpr TBenchSignal AllBenchSignals[] = {TBenchSignal::White44k, TBenchSignal::Pink44k,
                                            TBenchSignal::PinkFilterMod44k,
                                            TBenchSignal::PinkFilterMod192k24Bit};

inline const char* NameOf(TBenchSignal signal) {
  switch (signal) {
    case TBenchSignal::White44k: return "White44k";
    case TBenchSignal::Pink44k: return "Pink44k";
    case TBenchSignal::PinkFilterMod44k: return "PinkFilterMod44k";
    default: return "PinkFilterMod192k24Bit";
  }
}

/// Sets `state` up for `signal` (crest "6:1", 0 dBFS, looping, seeded) and prepares it.
inline void SetUpBenchSignal(GeneratorState& state, TBenchSignal signal, uint32_t seed = 12345) {
  const bool pink = signal != TBenchSignal::White44k;
  const bool shaped = signal == TBenchSignal::PinkFilterMod44k ||
                      signal == TBenchSignal::PinkFilterMod192k24Bit;
  const bool highRate = signal == TBenchSignal::PinkFilterMod192k24Bit;
  state.sampleRate = highRate ? 192000 : 44100;
  state.bitsPerSample = highRate ? 24 : 16;
  state.fullScale = FullScaleFor(state.bitsPerSample);
  state.channels = cmStereo;
  state.loop = true;
  for (ChannelSettings* channel : {&state.left, &state.right}) {
    channel->noiseType = pink ? ntPink : ntWhite;
    channel->crestIndex = 4;
    CrestFactorChanged(*channel);
    channel->filterType = shaped ? ftPeaking : ftNone;
    channel->modulationOn = shaped;
    channel->modulationFunction = mfCosine;
  }
  state.random.Seed(seed);
  TPrepareInput input{"5", {"1000", "3", "-10", state.left.filterType},
                      {"1000", "3", "-10", state.right.filterType}};
  TPrepareOutcome outcome;
  Preparevariables(state, input, TNumberFormat{}, nullptr, outcome);
}
