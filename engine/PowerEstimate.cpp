#include "engine/PowerEstimate.h"

#include <cmath>
#include <cstring>
#include <immintrin.h>

TPowerTables::TPowerTables() {
  for (int i = 0; i < LogSlices; ++i) {
    const long double centre = 1 + (i + 0.5L) / LogSlices;
    inverseCentre[i] = static_cast<double>(1 / centre);
    // log2 of the centre that inverseCentre really stands for.
    log2Centre[i] = static_cast<double>(-log2l(static_cast<long double>(inverseCentre[i])));
  }
  for (int i = 0; i < LogSlices; ++i) {
    const float centre = 1 + (i + 0.5f) / LogSlices;  // exact: nine bits
    log2Inverse[i] = static_cast<double>(-log2l(static_cast<long double>(1.0f / centre)));
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

bool IsFractional(float p) noexcept {
  const float twice = 2 * p;
  return !(p <= 64 && static_cast<float>(static_cast<uint32_t>(twice)) == twice);
}

void OneAtATime(const float* values, int32_t count, float p, double* out) noexcept {
  for (int32_t j = 0; j < count; ++j) out[j] = SingleEstimate(std::fabs(values[j]), p);
}

// table[index[i]] for four lanes, by four loads: on the processors measured
// they beat the gather instruction.
__attribute__((target("avx2,fma"))) inline __m256d Lookup(const double* table, __m128i index) noexcept {
  return _mm256_set_pd(table[_mm_extract_epi32(index, 3)], table[_mm_extract_epi32(index, 2)],
                       table[_mm_extract_epi32(index, 1)], table[_mm_cvtsi128_si32(index)]);
}

// Four lanes in one register, with fused multiply-adds, two table lookups
// instead of three, and its own rounding (within the bound, not the bits of
// the one-lane path); `inverse` holds the lanes' SliceInverses. Bound on the
// relative error, for normal x <= 1:
// - m x inverse - 1 is exact (24-bit times 24-bit), |r| < 2^-9 + 2^-23.
// - log2 x: the table entry errs by 2^-54, the series to r^5 by 2^-56 and
//   its roundings by 2^-59; times p <= 64 that is 2^-47.6 in y. The sum with
//   the exponent, the last fused step and the product with p each round by
//   2^-53 of |y| <= 160: 3 x 160 x 2^-53 < 2^-44.1. Both together leave
//   |error of y| < 2^-43.8, and 2^y takes ln 2 times that, < 2^-44.3.
// - 2^y: y x 256, k and y x 256 - k are exact; f rounds by 2^-52 of itself,
//   the series to f^4 leaves 2^-54, its roundings, the table entry and the
//   product below 2^-50.
// In all < 2^-44 relative, and 0 where y < -160 as Exp2 gives it.
__attribute__((target("avx2,fma"))) inline __m256d Avx2Fractional(__m128i bits, __m128 inverse, __m256d p) noexcept {
  using namespace power_detail;
  const __m128i sliceBits = _mm_and_si128(bits, _mm_set1_epi32(0x7F8000));
  const __m128 mantissa =
      _mm_castsi128_ps(_mm_or_si128(_mm_and_si128(bits, _mm_set1_epi32(0x7FFFFF)), _mm_set1_epi32(0x3F800000)));
  const __m256d exponent = _mm256_cvtepi32_pd(_mm_sub_epi32(_mm_srli_epi32(bits, 23), _mm_set1_epi32(127)));
  const __m256d one = _mm256_set1_pd(1);
  const __m256d r = _mm256_fmsub_pd(_mm256_cvtps_pd(mantissa), _mm256_cvtps_pd(inverse), one);
  const __m256d logInverse = Lookup(PowerTables.log2Inverse, _mm_srli_epi32(sliceBits, 15));
  // log2(1 + r) = r (1 - r/2 + r^2/3 - r^3/4 + r^4/5) / ln 2.
  __m256d series = _mm256_fmadd_pd(r, _mm256_set1_pd(InvLn2 / 5), _mm256_set1_pd(-InvLn2 / 4));
  series = _mm256_fmadd_pd(r, series, _mm256_set1_pd(InvLn2 / 3));
  series = _mm256_fmadd_pd(r, series, _mm256_set1_pd(-InvLn2 / 2));
  series = _mm256_fmadd_pd(r, series, _mm256_set1_pd(InvLn2));
  const __m256d y = _mm256_mul_pd(p, _mm256_fmadd_pd(r, series, _mm256_add_pd(exponent, logInverse)));
  const __m256d scaled = _mm256_mul_pd(y, _mm256_set1_pd(static_cast<double>(TPowerTables::ExpSteps)));
  const __m256d shift = _mm256_set1_pd(Shift);
  const __m256d k = _mm256_sub_pd(_mm256_add_pd(scaled, shift), shift);
  const __m256d f = _mm256_mul_pd(_mm256_sub_pd(scaled, k), _mm256_set1_pd(Ln2 / TPowerTables::ExpSteps));
  const __m128i steps = _mm256_cvtpd_epi32(k);  // whole already: exact
  const __m256d step =
      Lookup(PowerTables.exp2Step, _mm_and_si128(steps, _mm_set1_epi32(TPowerTables::ExpSteps - 1)));
  const __m256i wholeBits =
      _mm256_slli_epi64(_mm256_cvtepi32_epi64(_mm_add_epi32(_mm_srai_epi32(steps, 8), _mm_set1_epi32(1023))), 52);
  // e^f = 1 + f (1 + f (1/2 + f (1/6 + f/24))).
  __m256d expSeries = _mm256_fmadd_pd(f, _mm256_set1_pd(1.0 / 24), _mm256_set1_pd(1.0 / 6));
  expSeries = _mm256_fmadd_pd(f, expSeries, _mm256_set1_pd(0.5));
  expSeries = _mm256_fmadd_pd(f, expSeries, one);
  expSeries = _mm256_fmadd_pd(f, expSeries, one);
  const __m256d result = _mm256_mul_pd(_mm256_mul_pd(step, expSeries), _mm256_castsi256_pd(wholeBits));
  return _mm256_andnot_pd(_mm256_cmp_pd(y, _mm256_set1_pd(-160), _CMP_LT_OQ), result);
}

// x^n by repeated squaring, four lanes: the steps of WholePower.
__attribute__((target("avx2,fma"))) inline __m256d Avx2Whole(__m256d x, uint32_t n) noexcept {
  __m256d result = _mm256_set1_pd(1);
  for (; n != 0; n >>= 1, x = _mm256_mul_pd(x, x))
    if (n & 1) result = _mm256_mul_pd(result, x);
  return result;
}

// The magnitudes' bits of eight values; `odd` gathers the lanes where one
// is 0 or subnormal.
__attribute__((target("avx2,fma"))) inline __m256i Magnitudes(const float* values, __m256i& odd) noexcept {
  const __m256i bits =
      _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(values)), _mm256_set1_epi32(0x7FFFFFFF));
  odd = _mm256_or_si256(
      odd, _mm256_cmpeq_epi32(_mm256_and_si256(bits, _mm256_set1_epi32(0x7F800000)), _mm256_setzero_si256()));
  return bits;
}

// The float inverses of the centres of the values' slices, eight at a time.
__attribute__((target("avx2,fma"))) inline __m256 SliceInverses(__m256i bits) noexcept {
  const __m256i centre = _mm256_or_si256(_mm256_and_si256(bits, _mm256_set1_epi32(0x7F8000)), _mm256_set1_epi32(0x3F804000));
  return _mm256_div_ps(_mm256_set1_ps(1), _mm256_castsi256_ps(centre));
}

template <bool Fractional>
__attribute__((target("avx2,fma"))) inline __m256d Avx2Estimate(__m128i bits, __m128 inverse, __m256d p,
                                                                uint32_t half) noexcept {
  if (Fractional) return Avx2Fractional(bits, inverse, p);
  const __m256d x = _mm256_cvtps_pd(_mm_castsi128_ps(bits));
  const __m256d whole = Avx2Whole(x, half >> 1);
  return (half & 1) ? _mm256_mul_pd(whole, _mm256_sqrt_pd(x)) : whole;
}

// One loop for each kind of exponent, so that the fractional one keeps its
// constants in registers.
template <bool Fractional>
__attribute__((target("avx2,fma"))) void Avx2Run(const float* values, int32_t count, float p, double* out) noexcept {
  const uint32_t half = Fractional ? 0 : static_cast<uint32_t>(2 * p);
  const __m256d wide = _mm256_set1_pd(p);
  // Eight values a go, without a branch: two independent chains keep the
  // vector unit busy, and the rare zeros and subnormals are put right
  // afterwards.
  __m256i odd = _mm256_setzero_si256();
  int32_t j = 0;
  for (; j + 8 <= count; j += 8) {
    const __m256i bits = Magnitudes(values + j, odd);
    const __m256 inverses = Fractional ? SliceInverses(bits) : _mm256_setzero_ps();
    const __m256d first = Avx2Estimate<Fractional>(_mm256_castsi256_si128(bits), _mm256_castps256_ps128(inverses),
                                                   wide, half);
    const __m256d second = Avx2Estimate<Fractional>(_mm256_extracti128_si256(bits, 1),
                                                    _mm256_extractf128_ps(inverses, 1), wide, half);
    _mm256_storeu_pd(out + j, first);
    _mm256_storeu_pd(out + j + 4, second);
  }
  if (!_mm256_testz_si256(odd, odd))
    for (int32_t i = 0; i < j; ++i)
      if (!IsNormal(std::fabs(values[i]))) out[i] = SingleEstimate(std::fabs(values[i]), p);
  for (; j < count; ++j) out[j] = SingleEstimate(std::fabs(values[j]), p);
}

__attribute__((target("avx2,fma"))) void PowerEstimatesAvx2(const float* values, int32_t count, float p,
                                                           double* out) noexcept {
  if (IsFractional(p))
    Avx2Run<true>(values, count, p, out);
  else
    Avx2Run<false>(values, count, p, out);
}

}  // namespace

void PowerEstimates(const float* values, int32_t count, float p, double* out) noexcept {
  static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  if (avx2)
    PowerEstimatesAvx2(values, count, p, out);
  else
    PowerEstimatesTwoAtATime(values, count, p, out);
}

void PowerEstimatesTwoAtATime(const float* values, int32_t count, float p, double* out) noexcept {
  if (IsFractional(p))
    FractionalRun<TDouble2, 2>(values, count, p, out);
  else
    OneAtATime(values, count, p, out);
}
