#include "engine/NoiseSources.h"

#include "engine/FloatRounding.h"
#include "engine/PowerEstimate.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <immintrin.h>

namespace {

bool Estimable(float exponent) noexcept { return exponent > 0 && exponent <= 64; }

// The shaped value from an estimate of |v|^exponent (taken when it decides
// the 32-bit result, else the definition), with the sign of v.
inline float ShapeFromEstimate(float v, float exponent, bool estimable, double estimate) noexcept {
  if (v == 0) return 0;
  const float shaped = estimable && RoundsToSameFloat(estimate, estimate * 0x1p-40)
                           ? static_cast<float>(estimate)
                           : static_cast<float>(powl(std::fabs(v), exponent));
  // The sign of noise is random: a branch on it would be mispredicted half the time.
  return std::copysign(shaped, v);
}

}  // namespace

float CrestShape(float v, float exponent) noexcept {
  const bool estimable = Estimable(exponent);
  const double estimate = estimable && v != 0 ? PowerEstimate(std::fabs(v), exponent) : 0;
  return ShapeFromEstimate(v, exponent, estimable, estimate);
}

namespace {

// ShapeFromEstimate of four values at a time, where every estimate decides
// its float; returns the lanes (bit i for value i) left for the definition.
__attribute__((target("avx2"))) int ShapeFourFromEstimates(float* v, const double* estimates) noexcept {
  const __m256d estimate = _mm256_loadu_pd(estimates);
  const __m256d bound = _mm256_mul_pd(estimate, _mm256_set1_pd(0x1p-40));
  const __m128 low = _mm256_cvtpd_ps(_mm256_sub_pd(estimate, bound));
  const __m128 high = _mm256_cvtpd_ps(_mm256_add_pd(estimate, bound));
  const __m128 values = _mm_loadu_ps(v);
  const __m128 zero = _mm_cmpeq_ps(values, _mm_setzero_ps());
  const __m128 signs = _mm_and_ps(values, _mm_set1_ps(-0.0f));
  const __m128 shaped = _mm_andnot_ps(zero, _mm_or_ps(_mm256_cvtpd_ps(estimate), signs));
  const int undecided = ~_mm_movemask_ps(_mm_or_ps(_mm_cmpeq_ps(low, high), zero)) & 15;
  _mm_storeu_ps(v, shaped);
  return undecided;
}

__attribute__((target("avx2"))) void ShapeFromEstimatesAvx2(float* v, const float* raw, int32_t n, float exponent,
                                                           const double* estimates) noexcept {
  int32_t j = 0;
  for (; j + 4 <= n; j += 4)
    for (int undecided = ShapeFourFromEstimates(v + j, estimates + j); undecided != 0; undecided &= undecided - 1) {
      const int i = j + __builtin_ctz(undecided);
      v[i] = ShapeFromEstimate(raw[i], exponent, false, 0);
    }
  for (; j < n; ++j) v[j] = ShapeFromEstimate(v[j], exponent, true, estimates[j]);
}

}  // namespace

void CrestShapeEach(float* values, int32_t count, float exponent) noexcept {
  // |v|^1 is |v| exactly, so the shaped value is v itself (0 for -0).
  if (exponent == 1) {
    for (int32_t j = 0; j < count; ++j) values[j] += 0.0f;
    return;
  }
  // All estimates first, then the checks: the long, independent chains of
  // the estimates overlap better without the checks between them.
  constexpr int32_t Chunk = 64;
  static const bool avx2 = __builtin_cpu_supports("avx2");
  const bool estimable = Estimable(exponent);
  double estimates[Chunk];
  float raw[Chunk];
  for (int32_t start = 0; start < count; start += Chunk) {
    const int32_t n = count - start < Chunk ? count - start : Chunk;
    float* v = values + start;
    if (estimable)
      PowerEstimates(v, n, exponent, estimates);
    else
      std::fill(estimates, estimates + n, 0.0);
    if (estimable && avx2) {
      std::copy(v, v + n, raw);
      ShapeFromEstimatesAvx2(v, raw, n, exponent, estimates);
      continue;
    }
    for (int32_t j = 0; j < n; ++j) v[j] = ShapeFromEstimate(v[j], exponent, estimable, estimates[j]);
  }
}

float WhiteNoise(TRandomLcg& random, float exponent) noexcept {
  return CrestShape(RawWhiteNoise(random), exponent);
}

// In double the quotient errs by at most 2^-53 relative and the
// subtraction adds as much again; the bound covers both twice over.
float PinkValueOfSum(float sum) noexcept {
  const double estimate = sum / 6.5 - 1;
  return RoundsToSameFloat(estimate, 0x1p-50)
             ? static_cast<float>(estimate)
             : static_cast<float>(static_cast<long double>(sum) / 6.5L - 1);
}

float RawPinkNoise(GeneratorState& state, int64_t n) noexcept {
  DrawPinkRows([&] { return static_cast<float>(state.random.Next()); }, state.pinkRows, n, [](int) {});
  float sum = 0;
  for (int row = 0; row < 13; ++row) sum += state.pinkRows[row];
  return PinkValueOfSum(sum);
}

float PinkNoise(GeneratorState& state, float exponent, int64_t n) noexcept {
  return CrestShape(RawPinkNoise(state, n), exponent);
}
