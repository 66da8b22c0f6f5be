#pragma once

#include "engine/FloatRounding.h"

#include <cstdint>

/// Which of a channel's three filter edits the design enables, and whether
/// the Q text is rewritten to "1" (High Pass and Low Pass).
struct TFilterEdits {
  bool FZeroEnabled = false;
  bool GainEnabled = false;
  bool QEnabled = false;
  bool QTextBecomesOne = false;
};

/// One channel's biquad: design values, coefficients and the Direct Form I
/// history. The coefficients are not normalised; `norm` holds b0/a0, b1/a0,
/// b2/a0, a1/a0, a2/a0 in extended precision, the very quotients the step
/// forms, computed once per design instead of at every sample. The inputs
/// are integer samples; the previous outputs are kept unrounded, because
/// feeding back rounded outputs makes low-frequency and half-rate designs
/// drift, wrap or fall silent.
struct ChannelFilter {
  double F0 = 1000, gain = 0, Q = 1;
  double A = 1, w0 = 0, cosW0 = 1, sinW0 = 0, alpha = 0;
  double b0 = 1, b1 = 0, b2 = 0, a0 = 1, a1 = 0, a2 = 0;
  long double norm[5] = {1, 0, 0, 0, 0};
  int32_t x = 0, x1 = 0, x2 = 0;
  int32_t y = 0;
  long double y1 = 0, y2 = 0;
};

/// True when `filterType` is one of the five filters (anything else bypasses).
bool IsFilterActive(int32_t filterType) noexcept;

/// Takes the parsed F0, Q and gain (each clamped to the range the filter can
/// use: F0 1 .. rate/2, Q 0.01 .. 100000, gain -200 .. 200 dB), derives w0,
/// cos w0 and sin w0 at `sampleRate`, and clears the history.
void SetFilterInputs(ChannelFilter& f, long double f0, long double q, long double gainDb,
                     int32_t sampleRate) noexcept;

/// Computes the coefficients of `filterType` from the inputs; a type outside
/// the list of filters keeps the old coefficients like None.
TFilterEdits DesignFilter(ChannelFilter& f, int32_t filterType) noexcept;

/// Nearest 32-bit integer, ties to even; saturates beyond the range, 0 for NaN.
inline int32_t RoundToInt32(long double v) noexcept {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0L) return INT32_MAX;
  if (v <= -2147483648.0L) return INT32_MIN;
  return static_cast<int32_t>(NearestInt64Extended(v));
}

/// Beyond this magnitude an output is a runaway, never a signal.
constexpr long double FilterRunaway = 1e30L;

/// One Direct Form I step: the output for x, rounded; the history moves on
/// with the unrounded output. A runaway output clears the history.
inline int32_t FilterStep(ChannelFilter& f, int32_t x) noexcept {
  f.x = x;
  long double sum = f.norm[0] * x;
  sum += f.norm[1] * f.x1;
  sum += f.norm[2] * f.x2;
  sum -= f.norm[3] * f.y1;
  sum -= f.norm[4] * f.y2;
  if (!(sum < FilterRunaway && sum > -FilterRunaway)) sum = 0;
  f.y = RoundToInt32(sum);
  f.y2 = f.y1;
  f.x2 = f.x1;
  f.y1 = sum;
  f.x1 = f.x;
  return f.y;
}
