#pragma once

/// True when every value within `bound` of `estimate` rounds to the same
/// 32-bit float. Fast paths compute in double with a known error bound and
/// use this to prove that the value they round to equals the one the
/// extended-precision definition gives; when it fails they take the
/// definition itself.
inline bool RoundsToSameFloat(double estimate, double bound) noexcept {
  return static_cast<float>(estimate - bound) == static_cast<float>(estimate + bound);
}
