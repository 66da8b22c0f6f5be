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

/// High Pass and Low Pass have no Q of their own: the window shows "1".
bool FilterShowsQOfOne(int32_t filterType) noexcept;

/// The largest filter gain (and, negated, the smallest) the design uses, in dB.
inline constexpr long double MaxFilterGainDb = 200.0L;

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

/// Beyond this magnitude an output is a runaway, never a signal (the
/// loudest design, +200 dB on 24-bit full scale, stays below 2^57).
constexpr long double FilterRunaway = 0x1p62L;

/// v held within the 32-bit range.
inline int32_t SaturateToInt32(int64_t v) noexcept {
  return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

/// The unrounded Direct Form I output: b0/a0 x + b1/a0 x1 + b2/a0 x2
/// - a1/a0 y1 - a2/a0 y2, summed in this order in extended precision; 0 for
/// a runaway.
inline long double FilterSumUnchecked(const long double* norm, int32_t x, int32_t x1, int32_t x2,
                                      long double y1, long double y2) noexcept {
  long double sum = norm[0] * x;
  sum += norm[1] * x1;
  sum += norm[2] * x2;
  sum -= norm[3] * y1;
  sum -= norm[4] * y2;
  return sum;
}

/// `sum`, or 0 for a runaway (NaN included).
inline long double WithoutRunaway(long double sum) noexcept {
  return sum < FilterRunaway && sum > -FilterRunaway ? sum : 0;
}

inline long double FilterSum(const long double* norm, int32_t x, int32_t x1, int32_t x2,
                             long double y1, long double y2) noexcept {
  return WithoutRunaway(FilterSumUnchecked(norm, x, x1, x2, y1, y2));
}

/// One step: the output for x, rounded; the history moves on with the
/// unrounded output.
inline int32_t FilterStep(ChannelFilter& f, int32_t x) noexcept {
  const long double sum = FilterSum(f.norm, x, f.x1, f.x2, f.y1, f.y2);
  f.x = x;
  f.y = SaturateToInt32(NearestInt64Extended(sum));
  f.y2 = f.y1;
  f.x2 = f.x1;
  f.y1 = sum;
  f.x1 = x;
  return f.y;
}

/// FilterStep for samples[0..count) in place. The history stays in locals
/// for the whole run: stored and reloaded at every sample, the extended
/// values would stall the recursion.
void FilterSamples(ChannelFilter& f, int32_t* samples, int32_t count) noexcept;
