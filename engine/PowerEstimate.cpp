#include "engine/PowerEstimate.h"

#include <cmath>
#include <cstring>

TPowerTables::TPowerTables() {
  for (int i = 0; i < LogSlices; ++i) {
    const long double centre = 1 + (i + 0.5L) / LogSlices;
    inverseCentre[i] = static_cast<double>(1 / centre);
    // log2 of the centre that inverseCentre really stands for.
    log2Centre[i] = static_cast<double>(-log2l(static_cast<long double>(inverseCentre[i])));
  }
  for (int j = 0; j < ExpSteps; ++j)
    exp2Step[j] = static_cast<double>(exp2l(static_cast<long double>(j) / ExpSteps));
}

const TPowerTables PowerTables;

namespace {

typedef double TDouble2 __attribute__((vector_size(16)));

constexpr double Shift = 0x1.8p52;  // as in NearestIntegerDouble

// 2^(whole) as a double, for whole within the normal range.
inline double Power2(int64_t whole) noexcept {
  const uint64_t bits = static_cast<uint64_t>(whole + 1023) << 52;
  double scale;
  std::memcpy(&scale, &bits, sizeof scale);
  return scale;
}

// PowerEstimate of two normal values with a fractional exponent, the
// operations of Log2 and Exp2 done lane by lane in one vector, so that a
// sample's long chain takes half the processor's window.
inline void FractionalPair(float xa, float xb, float p, double* out) noexcept {
  using namespace power_detail;
  uint32_t ba, bb;
  std::memcpy(&ba, &xa, sizeof ba);
  std::memcpy(&bb, &xb, sizeof bb);
  const uint32_t ma = ba & 0x7FFFFF, mb = bb & 0x7FFFFF;
  const int sa = static_cast<int>(ma >> 15), sb = static_cast<int>(mb >> 15);
  const TDouble2 exponent = {static_cast<double>(static_cast<int>(ba >> 23) - 127),
                             static_cast<double>(static_cast<int>(bb >> 23) - 127)};
  const TDouble2 m = TDouble2{static_cast<double>(ma), static_cast<double>(mb)} * 0x1p-23 + 1;
  const TDouble2 r = m * TDouble2{PowerTables.inverseCentre[sa], PowerTables.inverseCentre[sb]} - 1;
  const TDouble2 r2 = r * r;
  const TDouble2 logSeries = r + r2 * ((-0.5 + r * (1.0 / 3)) + r2 * (-0.25 + r * 0.2));
  const TDouble2 log2x =
      exponent + (TDouble2{PowerTables.log2Centre[sa], PowerTables.log2Centre[sb]} + logSeries * InvLn2);
  const TDouble2 y = static_cast<double>(p) * log2x;
  if (y[0] < -160 || y[1] < -160) {
    out[0] = Exp2(y[0]);
    out[1] = Exp2(y[1]);
    return;
  }
  const TDouble2 k = (y * static_cast<double>(TPowerTables::ExpSteps) + Shift) - Shift;
  const TDouble2 f = (y - k / static_cast<double>(TPowerTables::ExpSteps)) * Ln2;
  const int64_t stepsA = static_cast<int64_t>(k[0]), stepsB = static_cast<int64_t>(k[1]);
  const TDouble2 f2 = f * f;
  const TDouble2 expSeries = (1 + f) + f2 * ((0.5 + f * (1.0 / 6)) + f2 * (1.0 / 24));
  const TDouble2 step = {PowerTables.exp2Step[stepsA & (TPowerTables::ExpSteps - 1)],
                         PowerTables.exp2Step[stepsB & (TPowerTables::ExpSteps - 1)]};
  const TDouble2 result = step * expSeries * TDouble2{Power2(stepsA >> 8), Power2(stepsB >> 8)};
  out[0] = result[0];
  out[1] = result[1];
}

bool IsNormal(float x) noexcept {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return (bits & 0x7F800000) != 0;
}

}  // namespace

void PowerEstimates(const float* values, int32_t count, float p, double* out) noexcept {
  const float twice = 2 * p;
  const bool fractional = !(p <= 64 && static_cast<float>(static_cast<uint32_t>(twice)) == twice);
  int32_t j = 0;
  if (fractional) {
    for (; j + 1 < count; j += 2) {
      const float a = std::fabs(values[j]), b = std::fabs(values[j + 1]);
      if (IsNormal(a) && IsNormal(b)) {
        FractionalPair(a, b, p, out + j);
      } else {
        out[j] = a != 0 ? PowerEstimate(a, p) : 0;
        out[j + 1] = b != 0 ? PowerEstimate(b, p) : 0;
      }
    }
  }
  for (; j < count; ++j) {
    const float a = std::fabs(values[j]);
    out[j] = a != 0 ? PowerEstimate(a, p) : 0;
  }
}
