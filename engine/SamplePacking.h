#pragma once

#include <cstdint>

/// Stores `frames` frames as interleaved little-endian samples of `bytes`
/// bytes (2 or 3) at `out`: left[j], then right[j] unless `right` is null
/// (mono). Each sample goes through StoreSample (saturated at the width's
/// range); clipped[0] and clipped[1] count the left and right samples that
/// saturated. Returns the end of what it wrote.
uint8_t* PackSamples(const int32_t* left, const int32_t* right, int32_t frames, int bytes, uint8_t* out,
                     int64_t* clipped) noexcept;
