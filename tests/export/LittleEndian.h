#pragma once

// Reads the little-endian fields of a WAV header out of bytes under test.

#include <cstddef>
#include <cstdint>
#include <span>

inline uint32_t U16(std::span<const uint8_t> b, size_t at) { return b[at] | (b[at + 1] << 8); }

inline uint32_t U32(std::span<const uint8_t> b, size_t at) {
  return U16(b, at) | (U16(b, at + 2) << 16);
}
