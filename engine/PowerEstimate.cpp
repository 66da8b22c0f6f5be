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

constexpr double Shift = 0x1.8p52;  // as in NearestIntegerDouble

// 2^(whole) as a double, for whole within the normal range.
inline double Power2(int64_t whole) noexcept {
  const uint64_t bits = static_cast<uint64_t>(whole + 1023) << 52;
  double scale;
  std::memcpy(&scale, &bits, sizeof scale);
  return scale;
}

bool IsNormal(float x) noexcept {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return (bits & 0x7F800000) != 0;
}

// PowerEstimate of N normal magnitudes with a fractional exponent: the
// operations of Log2 and Exp2 done lane by lane in one vector (TVec holds N
// doubles), so that the long chain of each value takes a share of the
// processor's window. Table lookups go lane by lane.
template <class TVec, int N>
__attribute__((always_inline)) inline void FractionalLanes(const float* x, float p, double* out) noexcept {
  using namespace power_detail;
  TVec exponent, mantissa, inverse, logCentre;
  for (int i = 0; i < N; ++i) {
    uint32_t bits;
    std::memcpy(&bits, &x[i], sizeof bits);
    const uint32_t m = bits & 0x7FFFFF;
    exponent[i] = static_cast<double>(static_cast<int>(bits >> 23) - 127);
    mantissa[i] = static_cast<double>(m);
    inverse[i] = PowerTables.inverseCentre[m >> 15];
    logCentre[i] = PowerTables.log2Centre[m >> 15];
  }
  const TVec r = (mantissa * 0x1p-23 + 1) * inverse - 1;
  const TVec r2 = r * r;
  const TVec logSeries = r + r2 * ((-0.5 + r * (1.0 / 3)) + r2 * (-0.25 + r * 0.2));
  const TVec y = static_cast<double>(p) * (exponent + (logCentre + logSeries * InvLn2));
  for (int i = 0; i < N; ++i)
    if (y[i] < -160) {
      for (int j = 0; j < N; ++j) out[j] = Exp2(y[j]);
      return;
    }
  const TVec k = (y * static_cast<double>(TPowerTables::ExpSteps) + Shift) - Shift;
  const TVec f = (y - k / static_cast<double>(TPowerTables::ExpSteps)) * Ln2;
  TVec step, scale;
  for (int i = 0; i < N; ++i) {
    const int64_t steps = static_cast<int64_t>(k[i]);
    step[i] = PowerTables.exp2Step[steps & (TPowerTables::ExpSteps - 1)];
    scale[i] = Power2(steps >> 8);
  }
  const TVec f2 = f * f;
  const TVec expSeries = (1 + f) + f2 * ((0.5 + f * (1.0 / 6)) + f2 * (1.0 / 24));
  const TVec result = step * expSeries * scale;
  for (int i = 0; i < N; ++i) out[i] = result[i];
}

// One value at a time: 0 for 0.
inline double SingleEstimate(float magnitude, float p) noexcept {
  return magnitude != 0 ? PowerEstimate(magnitude, p) : 0;
}

// Fractional exponents, N values at a time where all are normal.
template <class TVec, int N>
__attribute__((always_inline)) inline void FractionalRun(const float* values, int32_t count, float p,
                                                         double* out) noexcept {
  int32_t j = 0;
  for (; j + N <= count; j += N) {
    float magnitudes[N];
    bool normal = true;
    for (int i = 0; i < N; ++i) {
      magnitudes[i] = std::fabs(values[j + i]);
      normal = normal && IsNormal(magnitudes[i]);
    }
    if (normal) {
      FractionalLanes<TVec, N>(magnitudes, p, out + j);
    } else {
      for (int i = 0; i < N; ++i) out[j + i] = SingleEstimate(magnitudes[i], p);
    }
  }
  for (; j < count; ++j) out[j] = SingleEstimate(std::fabs(values[j]), p);
}

typedef double TDouble2 __attribute__((vector_size(16)));
typedef double TDouble4 __attribute__((vector_size(32)));

bool IsFractional(float p) noexcept {
  const float twice = 2 * p;
  return !(p <= 64 && static_cast<float>(static_cast<uint32_t>(twice)) == twice);
}

void OneAtATime(const float* values, int32_t count, float p, double* out) noexcept {
  for (int32_t j = 0; j < count; ++j) out[j] = SingleEstimate(std::fabs(values[j]), p);
}

// Four lanes in one register where the processor has them. The same
// operations in the same order, so the estimates are the same.
__attribute__((target("avx2"))) void FractionalRunAvx2(const float* values, int32_t count, float p,
                                                      double* out) noexcept {
  FractionalRun<TDouble4, 4>(values, count, p, out);
}

}  // namespace

void PowerEstimates(const float* values, int32_t count, float p, double* out) noexcept {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (IsFractional(p) && avx2)
    FractionalRunAvx2(values, count, p, out);
  else
    PowerEstimatesTwoAtATime(values, count, p, out);
}

void PowerEstimatesTwoAtATime(const float* values, int32_t count, float p, double* out) noexcept {
  if (IsFractional(p))
    FractionalRun<TDouble2, 2>(values, count, p, out);
  else
    OneAtATime(values, count, p, out);
}
