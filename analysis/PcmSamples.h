#pragma once
// Reading the interleaved little-endian PCM the output plays and the WAV
// files hold (16 or 24 bits, two's complement).

#include <cstdint>

/// The sample stored in `bytes` (2 or 3) little-endian bytes at p.
inline int32_t PcmSample(const uint8_t* p, int bytes) noexcept {
  if (bytes == 3) {
    const uint32_t u = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
    return static_cast<int32_t>(u << 8) >> 8;
  }
  return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8));
}

/// Sum of squares and largest magnitude of a stretch of one channel's samples.
struct TLevelSums {
  double sumSquares = 0;
  int64_t peak = 0;
  int64_t frames = 0;

  void Add(int32_t sample) noexcept {
    const double s = sample;
    sumSquares += s * s;
    const int64_t magnitude = sample < 0 ? -int64_t{sample} : int64_t{sample};
    if (magnitude > peak) peak = magnitude;
    ++frames;
  }
  void Add(const TLevelSums& other) noexcept {
    sumSquares += other.sumSquares;
    if (other.peak > peak) peak = other.peak;
    frames += other.frames;
  }
};

/// Adds channel `channel` of `frames` interleaved frames of `channels`
/// samples of `bytes` bytes each to sums, and stores the samples divided by
/// `fullScale` in `scaled` when it is not null.
void ReadChannel(const uint8_t* data, int32_t frames, int channels, int bytes, int channel,
                 double fullScale, TLevelSums& sums, float* scaled) noexcept;
