#pragma once
// The band-limited pink noise that cinema and studio loudspeaker channels are
// calibrated with (SMPTE ST 2095-1): -18.5 dB RMS re a full-scale sine, peaks
// at most -9.5 dBFS, 10 Hz to 22.4 kHz. The standard defines every sample, so
// this generator follows its definition step by step in double precision:
// a linear congruential white noise, a five-pole pinking filter, a 10 Hz high
// pass and a 22.4 kHz low pass (two biquads each), a clip at the peak limit.
// The first period of the white noise is computed and dropped. Nothing here
// allocates; a generator is a few hundred bytes of plain state.

#include <cstdint>

/// One Direct Form II biquad: w := x - a1 w1 - a2 w2; y := b0 w + b1 w1 + b2 w2.
struct TReferenceBiquad {
  double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
  double w1 = 0, w2 = 0;

  double Process(double x) noexcept {
    const double w = x - a1 * w1 - a2 * w2;
    const double y = b0 * w + b1 * w1 + b2 * w2;
    w2 = w1;
    w1 = w;
    return y;
  }
};

/// The level figures the definition promises.
inline constexpr double ReferenceRmsDbReSine = -18.5;
inline constexpr double ReferencePeakDbFs = -9.5;
/// The lowest rate the definition covers; above it, 96000 and 192000 Hz.
inline constexpr int32_t ReferenceLowestRate = 48000;

class TReferenceNoise {
public:
  /// True for the rates the definition covers: 48000, 96000 and 192000 Hz.
  static bool SupportsRate(int32_t rate) noexcept;
  /// Samples in one period of the white noise at rate: 2^19 at 48 kHz, 2^20 above.
  static int64_t PeriodAt(int32_t rate) noexcept;

  /// An idle generator; Start it before the first sample.
  TReferenceNoise() = default;
  /// Start(rate).
  explicit TReferenceNoise(int32_t rate) noexcept { Start(rate); }

  /// Restarts at the first output sample of rate (a supported rate): clears
  /// every state, then computes and drops the warm-up period. GUI or caller
  /// thread: the warm-up takes a few milliseconds.
  void Start(int32_t rate) noexcept;
  /// The next output sample, full scale = 1, within +-10^(-9.5/20).
  double Next() noexcept;

  int32_t Rate() const noexcept { return FRate; }
  int64_t Period() const noexcept { return FPeriod; }

private:
  int32_t FRate = 0;
  int64_t FPeriod = 0;
  uint32_t FIncrement = 0;
  uint32_t FSeed = 0;
  double FWhiteScale = 0;
  double FPink[5] = {};
  double FDelayedWhite = 0;  // the previous sample's white x 0.0088766118009356
  TReferenceBiquad FFilters[4];
};

/// Frames of a file of the reference at rate that lasts at least seconds: a
/// whole number of periods, ceil((P + rate x seconds) / P) x P - P.
int64_t ReferenceFrames(int32_t rate, double seconds) noexcept;

/// The stored sample of x for a sample width of 2 or 3 bytes:
/// floor(trunc(x x 2147483647) / 2^16) or / 2^8.
int32_t ReferenceSample(double x, int bytesPerSample) noexcept;

/// Writes the next `frames` frames of noise as interleaved little-endian PCM
/// (frames x channels x bytesPerSample bytes at out). Channel c carries the
/// noise when bit c of channelMask is set and silence otherwise; channels
/// that carry it carry the same sample.
void RenderReferenceFrames(TReferenceNoise& noise, uint8_t* out, int32_t frames, int channels, int bytesPerSample,
                           uint32_t channelMask) noexcept;
