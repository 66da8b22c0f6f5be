#include "analysis/BandSpectrum.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

void TBandSpectrum::TFftFree::operator()(kiss_fftr_state* cfg) const noexcept { kiss_fftr_free(cfg); }

TBandSpectrum::TBandSpectrum() = default;
TBandSpectrum::~TBandSpectrum() = default;

namespace {

/// The 1/3-octave band n (n = 0 at 1 kHz) lies between these frequencies.
double BandEdge(int n, double side) { return 1000 * std::pow(10.0, (n + side / 2) / 10); }

constexpr int LowestBand = -17;  // 19.95 Hz

}  // namespace

void TBandSpectrum::Reset(int32_t sampleRate) {
  FSize = 1024;
  while (FSize < sampleRate / 3) FSize *= 2;
  FFft.reset(kiss_fftr_alloc(FSize, 0, nullptr, nullptr));
  FWindow.resize(static_cast<size_t>(FSize));
  double windowPower = 0;
  for (int32_t i = 0; i < FSize; ++i) {
    const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / FSize);
    FWindow[static_cast<size_t>(i)] = static_cast<float>(w);
    windowPower += w * w;
  }
  FScale = 1 / (FSize * windowPower);
  FInput.assign(static_cast<size_t>(FSize), 0.0f);
  FFrame.assign(static_cast<size_t>(FSize), 0.0f);
  const int32_t bins = FSize / 2 + 1;
  FSpectrum.assign(static_cast<size_t>(bins), {});
  FBinPower.assign(static_cast<size_t>(bins), 0.0);

  // Bin k covers (k +- 1/2) x binWidth; each band takes the part of every bin
  // that lies inside it. The top band ends at half the rate.
  const double nyquist = sampleRate / 2.0, binWidth = static_cast<double>(sampleRate) / FSize;
  FCentres.clear();
  FBandStart.assign(1, 0);
  FShares.clear();
  for (int n = LowestBand; BandEdge(n, 0) <= nyquist; ++n) {
    const double low = BandEdge(n, -1), high = std::min(BandEdge(n, 1), nyquist);
    const int32_t first = static_cast<int32_t>(std::floor(low / binWidth + 0.5));
    const int32_t last = std::min(static_cast<int32_t>(std::ceil(high / binWidth + 0.5)), bins - 1);
    for (int32_t k = first; k <= last; ++k) {
      const double overlap = std::min(high, (k + 0.5) * binWidth) - std::max(low, (k - 0.5) * binWidth);
      if (overlap > 0) FShares.push_back({k, static_cast<float>(overlap / binWidth)});
    }
    FCentres.push_back(BandEdge(n, 0));
    FBandStart.push_back(static_cast<int32_t>(FShares.size()));
  }
  FBandSums.assign(FCentres.size(), 0.0);
  Clear();
}

void TBandSpectrum::Clear() noexcept {
  std::fill(FBandSums.begin(), FBandSums.end(), 0.0);
  std::fill(FInput.begin(), FInput.end(), 0.0f);
  FFilled = 0;
  FBlocks = 0;
}

void TBandSpectrum::Add(const float* samples, int32_t count) noexcept {
  if (FSize == 0) return;
  while (count > 0) {
    const int32_t take = std::min(count, FSize - FFilled);
    std::copy(samples, samples + take, FInput.begin() + FFilled);
    FFilled += take;
    samples += take;
    count -= take;
    if (FFilled < FSize) return;
    Transform();
    // The next block starts halfway through this one.
    std::copy(FInput.begin() + FSize / 2, FInput.end(), FInput.begin());
    FFilled = FSize / 2;
  }
}

void TBandSpectrum::Transform() noexcept {
  for (int32_t i = 0; i < FSize; ++i) FFrame[static_cast<size_t>(i)] = FInput[static_cast<size_t>(i)] * FWindow[static_cast<size_t>(i)];
  static_assert(sizeof(kiss_fft_cpx) == sizeof(std::complex<float>));
  kiss_fftr(FFft.get(), FFrame.data(), reinterpret_cast<kiss_fft_cpx*>(FSpectrum.data()));
  const size_t bins = FSpectrum.size();
  for (size_t k = 0; k < bins; ++k) {
    const double re = FSpectrum[k].real(), im = FSpectrum[k].imag();
    // One-sided: every bin but DC and the half-rate bin stands for two.
    const double sides = k == 0 || k + 1 == bins ? 1 : 2;
    FBinPower[k] = (re * re + im * im) * sides * FScale;
  }
  for (size_t b = 0; b < FBandSums.size(); ++b) {
    double power = 0;
    for (int32_t s = FBandStart[b]; s < FBandStart[b + 1]; ++s)
      power += FBinPower[static_cast<size_t>(FShares[static_cast<size_t>(s)].bin)] * FShares[static_cast<size_t>(s)].weight;
    FBandSums[b] += power;
  }
  ++FBlocks;
}

double TBandSpectrum::BandLevelDb(int32_t b) const noexcept {
  const double power = FBlocks > 0 ? FBandSums[static_cast<size_t>(b)] / static_cast<double>(FBlocks) : 0;
  return power > 0 ? 10 * std::log10(power) : -std::numeric_limits<double>::infinity();
}
