#pragma once
// The averaged spectrum of one channel in 1/3-octave bands from 20 Hz to half
// the sample rate. Blocks of a Hann-windowed FFT (KissFFT), overlapping by
// half, are averaged with equal weight since the last Reset; each band sums
// the power of the FFT bins it covers, a bin that straddles a band edge in
// proportion to its share. A band's level is its mean square relative to
// full scale, so the band powers add up to the RMS level of the signal.

#include <complex>
#include <cstdint>
#include <memory>
#include <vector>

struct kiss_fftr_state;

class TBandSpectrum {
public:
  TBandSpectrum();
  ~TBandSpectrum();
  TBandSpectrum(const TBandSpectrum&) = delete;
  TBandSpectrum& operator=(const TBandSpectrum&) = delete;

  /// Sets the bands and FFT size for sampleRate and clears the average. The
  /// FFT resolution is at most 3 Hz, so that even the 20 Hz band, 4.6 Hz
  /// wide, spans more than one bin. Allocates; nothing else does.
  void Reset(int32_t sampleRate);
  /// Clears the average, keeping the sizes.
  void Clear() noexcept;
  /// The next samples, scaled to full scale = 1.
  void Add(const float* samples, int32_t count) noexcept;

  int32_t BandCount() const noexcept { return static_cast<int32_t>(FCentres.size()); }
  /// Centre frequency of band b in Hz: 1000 x 10^(n/10), the 1/3-octave series.
  double BandCentreHz(int32_t b) const noexcept { return FCentres[static_cast<size_t>(b)]; }
  /// Averaged level of band b in dBFS; -inf before the first block or for silence.
  double BandLevelDb(int32_t b) const noexcept;
  /// FFT blocks averaged since the last clear.
  int64_t Blocks() const noexcept { return FBlocks; }
  int32_t FftSize() const noexcept { return FSize; }

private:
  void Transform() noexcept;

  struct TBinShare {
    int32_t bin;
    float weight;
  };
  struct TFftFree {
    void operator()(kiss_fftr_state* cfg) const noexcept;
  };

  int32_t FSize = 0;
  std::unique_ptr<kiss_fftr_state, TFftFree> FFft;
  std::vector<float> FWindow, FInput, FFrame;
  std::vector<std::complex<float>> FSpectrum;  // laid out as KissFFT's kiss_fft_cpx
  std::vector<double> FBinPower;
  int32_t FFilled = 0;
  double FScale = 0;  // |X|^2 to one-sided mean-square power
  std::vector<double> FCentres;
  std::vector<int32_t> FBandStart;  // band b's shares: [FBandStart[b], FBandStart[b + 1])
  std::vector<TBinShare> FShares;
  std::vector<double> FBandSums;
  int64_t FBlocks = 0;
};
