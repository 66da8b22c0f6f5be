#pragma once

#include <cstdint>
#include <cstring>

/// True when every value within `bound` of `estimate` rounds to the same
/// 32-bit float. Fast paths compute in double with a known error bound and
/// use this to prove that the value they round to equals the one the
/// extended-precision definition gives; when it fails they take the
/// definition itself.
inline bool RoundsToSameFloat(double estimate, double bound) noexcept {
  return static_cast<float>(estimate - bound) == static_cast<float>(estimate + bound);
}

/// Nearest integer of `v` (|v| < 2^62), ties to even. Adding 1.5 x 2^63
/// makes the unit the last place of the 64-bit significand, so the sum's
/// significand is the rounded value plus 0xC000000000000000; reading it
/// avoids the slow control-word switch of a truncating conversion.
inline int64_t NearestInt64Extended(long double v) noexcept {
  static_assert(sizeof(long double) >= 10, "needs the x87 extended format");
  const long double shifted = v + 0x1.8p63L;
  uint64_t significand;
  std::memcpy(&significand, &shifted, sizeof significand);
  return static_cast<int64_t>(significand - 0xC000000000000000ull);
}

/// Nearest integer of `v` (|v| < 2^51), ties to even, in double precision.
inline double NearestIntegerDouble(double v) noexcept {
  constexpr double shift = 0x1.8p52;
  return (v + shift) - shift;
}

/// True when every value within `bound` of `estimate` (|estimate| < 2^50)
/// rounds to the same integer.
inline bool RoundsToSameInteger(double estimate, double bound) noexcept {
  return NearestIntegerDouble(estimate - bound) == NearestIntegerDouble(estimate + bound);
}
