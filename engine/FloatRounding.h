#pragma once

#include <cstdint>

/// True when every value within `bound` of `estimate` rounds to the same
/// 32-bit float. Fast paths compute in double with a known error bound and
/// use this to prove that the value they round to equals the one the
/// extended-precision definition gives; when it fails they take the
/// definition itself.
inline bool RoundsToSameFloat(double estimate, double bound) noexcept {
  return static_cast<float>(estimate - bound) == static_cast<float>(estimate + bound);
}

/// Nearest 64-bit integer of `v` (|v| < 2^63), ties to even: the x87 store
/// in the default rounding mode, without the library call of llrintl.
inline int64_t NearestInt64Extended(long double v) noexcept {
  int64_t result;
  __asm__("fistpll %0" : "=m"(result) : "t"(v) : "st");
  return result;
}

/// Nearest integer of `v` (|v| < 2^51), ties to even, in double precision.
inline double NearestIntegerDouble(double v) noexcept {
  constexpr double shift = 0x1.8p52;
  return (v + shift) - shift;
}
