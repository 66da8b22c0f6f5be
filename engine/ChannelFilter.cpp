#include "engine/ChannelFilter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

bool IsFilterActive(int32_t filterType) noexcept {
  return filterType >= 1 && filterType <= 5;
}

bool FilterShowsQOfOne(int32_t filterType) noexcept { return filterType == 2 || filterType == 3; }

void SetFilterInputs(ChannelFilter& f, long double f0, long double q, long double gainDb,
                     int32_t sampleRate) noexcept {
  // Texts also arrive unvalidated (store, messages, a rate change); a Q of 0
  // or an F0 beyond half the rate would divide by zero or go unstable.
  f.F0 = static_cast<double>(std::clamp(f0, 1.0L, sampleRate / 2.0L));
  f.Q = static_cast<double>(std::clamp(q, 0.01L, 100000.0L));
  f.gain = static_cast<double>(std::clamp(gainDb, -MaxFilterGainDb, MaxFilterGainDb));
  f.w0 = static_cast<double>(2 * std::numbers::pi_v<long double> * f.F0 / sampleRate);
  f.cosW0 = std::cos(f.w0);
  f.sinW0 = std::sin(f.w0);
  f.x = f.x1 = f.x2 = 0;
  f.y = 0;
  f.y1 = f.y2 = 0;
}

namespace {

void SetCoefficients(ChannelFilter& f, double b0, double b1, double b2, double a0, double a1,
                     double a2) {
  f.b0 = b0; f.b1 = b1; f.b2 = b2;
  f.a0 = a0; f.a1 = a1; f.a2 = a2;
  const long double la0 = a0;
  f.norm[0] = b0 / la0;
  f.norm[1] = b1 / la0;
  f.norm[2] = b2 / la0;
  f.norm[3] = a1 / la0;
  f.norm[4] = a2 / la0;
}

}  // namespace

TFilterEdits DesignFilter(ChannelFilter& f, int32_t filterType) noexcept {
  if (!IsFilterActive(filterType)) return {};
  f.alpha = f.sinW0 / (2 * f.Q);
  const double c = f.cosW0, alpha = f.alpha;
  switch (filterType) {
    case 1: {  // Peaking; 0 dB would be an exact pass-through, 0.02 dB is used
      if (f.gain == 0) f.gain = 0.02;
      f.A = std::pow(10.0, f.gain / 40);
      SetCoefficients(f, 1 + alpha * f.A, -2 * c, 1 - alpha * f.A, 1 + alpha / f.A, -2 * c,
                      1 - alpha / f.A);
      return {true, true, true, false};
    }
    case 2:
      SetCoefficients(f, (1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
      return {true, false, false, FilterShowsQOfOne(filterType)};
    case 3:
      SetCoefficients(f, (1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
      return {true, false, false, FilterShowsQOfOne(filterType)};
    case 4:
      SetCoefficients(f, alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
      return {true, false, true, false};
    default:  // Notch
      SetCoefficients(f, 1, -2 * c, 1, 1 + alpha, -2 * c, 1 - alpha);
      return {true, false, true, false};
  }
}

void FilterSamples(ChannelFilter& f, int32_t* samples, int32_t count) noexcept {
  if (count <= 0) return;
  const long double norm[5] = {f.norm[0], f.norm[1], f.norm[2], f.norm[3], f.norm[4]};
  int32_t x1 = f.x1, x2 = f.x2;
  long double y1 = f.y1, y2 = f.y2;
  for (int32_t j = 0; j < count; ++j) {
    const int32_t x = samples[j];
    long double sum = FilterSumUnchecked(norm, x, x1, x2, y1, y2);
    int64_t nearest = NearestInt64Extended(sum);
    // A nearest integer within +-2^62 (exclusive) proves the sum is no
    // runaway, without comparing on the x87 stack; the rest is checked.
    constexpr int64_t runaway = int64_t{1} << 62;
    static_assert(static_cast<long double>(runaway) == FilterRunaway);
    if (__builtin_expect(nearest >= runaway || nearest <= -runaway, 0)) {
      sum = WithoutRunaway(sum);
      nearest = NearestInt64Extended(sum);
    }
    samples[j] = SaturateToInt32(nearest);
    y2 = y1;
    y1 = sum;
    x2 = x1;
    x1 = x;
  }
  f.x = f.x1 = x1;
  f.x2 = x2;
  f.y = samples[count - 1];
  f.y1 = y1;
  f.y2 = y2;
}

