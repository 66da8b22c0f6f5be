#pragma once

#include "engine/GeneratorState.h"

#include <cstdint>
#include <vector>

/// A plain rendering of the signal straight from its definition, every step
/// in extended precision with powl / cosl / sinl, no shortcuts. It starts from
/// a copy of a prepared GeneratorState (settings, filter coefficients, pink
/// rows, random seed, time index) and never touches the engine's code paths.
class TReferenceRenderer {
public:
  explicit TReferenceRenderer(const GeneratorState& prepared);

  /// The next `frames` frames as the buffer fill would store them, before
  /// storage: interleaved L, R in stereo. The filter keeps its outputs
  /// unrounded for the feedback.
  std::vector<int32_t> RenderFrames(int64_t frames);

private:
  struct TFilter {
    long double b0, b1, b2, a0, a1, a2;
    int32_t x1 = 0, x2 = 0;
    long double y1 = 0, y2 = 0;
  };
  long double Draw();
  float Shape(float v, float exponent) const;
  float Noise(int32_t type, float exponent);
  void Modulate(ChannelSettings& channel) const;
  int32_t Channel(ChannelSettings& channel, TFilter& filter);
  static int32_t Step(TFilter& filter, int32_t x);

  GeneratorState FState;  // settings and counters only; its generator is not used
  uint32_t FSeed;
  float FRows[13];
  TFilter FLeft, FRight;
};
