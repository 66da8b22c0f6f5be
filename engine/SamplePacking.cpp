#include "engine/SamplePacking.h"

#include "engine/Render.h"

#include <cstring>
#include <immintrin.h>

namespace {

uint8_t* PackPlain(const int32_t* left, const int32_t* right, int32_t frames, int bytes, uint8_t* out,
                   int64_t* clipped) noexcept {
  const int32_t most = bytes == 3 ? 8388607 : 32767;
  for (int32_t j = 0; j < frames; ++j) {
    clipped[0] += Saturates(left[j], most);
    StoreSample(out, left[j], bytes);
    if (right == nullptr) continue;
    clipped[1] += Saturates(right[j], most);
    StoreSample(out, right[j], bytes);
  }
  return out;
}

// Saturates four samples to -most - 1 .. most and counts those it changed.
__attribute__((target("avx2"))) inline __m128i Held(__m128i samples, int32_t most, int64_t& clipped) noexcept {
  const __m128i top = _mm_set1_epi32(most), bottom = _mm_set1_epi32(-most - 1);
  const __m128i beyond = _mm_or_si128(_mm_cmpgt_epi32(samples, top), _mm_cmpgt_epi32(bottom, samples));
  clipped += __builtin_popcount(_mm_movemask_ps(_mm_castsi128_ps(beyond)));
  return _mm_min_epi32(_mm_max_epi32(samples, bottom), top);
}

// Four 24-bit samples, the low three bytes of each, in 12 bytes.
__attribute__((target("avx2"))) inline void Store24(uint8_t* out, __m128i samples) noexcept {
  const __m128i order = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  alignas(16) uint8_t bytes[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(bytes), _mm_shuffle_epi8(samples, order));
  std::memcpy(out, bytes, 12);
}

template <int Bytes, bool Stereo>
__attribute__((target("avx2"))) uint8_t* PackAvx2(const int32_t* left, const int32_t* right, int32_t frames,
                                                  uint8_t* out, int64_t* clipped) noexcept {
  constexpr int32_t most = Bytes == 3 ? 8388607 : 32767;
  int32_t j = 0;
  for (; j + 4 <= frames; j += 4) {
    const __m128i l = Held(_mm_loadu_si128(reinterpret_cast<const __m128i*>(left + j)), most, clipped[0]);
    if (!Stereo) {
      if (Bytes == 2) _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packs_epi32(l, l));
      else Store24(out, l);
      out += 4 * Bytes;
      continue;
    }
    const __m128i r = Held(_mm_loadu_si128(reinterpret_cast<const __m128i*>(right + j)), most, clipped[1]);
    const __m128i first = _mm_unpacklo_epi32(l, r), second = _mm_unpackhi_epi32(l, r);
    if (Bytes == 2) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packs_epi32(first, second));
    } else {
      Store24(out, first);
      Store24(out + 12, second);
    }
    out += 8 * Bytes;
  }
  return PackPlain(left + j, Stereo ? right + j : nullptr, frames - j, Bytes, out, clipped);
}

}  // namespace

uint8_t* PackSamples(const int32_t* left, const int32_t* right, int32_t frames, int bytes, uint8_t* out,
                     int64_t* clipped) noexcept {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (!avx2) return PackPlain(left, right, frames, bytes, out, clipped);
  if (bytes == 3)
    return right ? PackAvx2<3, true>(left, right, frames, out, clipped)
                 : PackAvx2<3, false>(left, right, frames, out, clipped);
  return right ? PackAvx2<2, true>(left, right, frames, out, clipped)
               : PackAvx2<2, false>(left, right, frames, out, clipped);
}
