// The 1/3-octave spectrum against synthetic signals whose band levels are
// known: Gaussian white noise (flat density, so each band holds power in
// proportion to its width, about 1 dB more per band) and a pure sine.

#include "analysis/BandSpectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

/// Edges of band b counted from 20 Hz, the top one cut at half the rate.
double BandWidth(const TBandSpectrum& s, int32_t b, int32_t rate) {
  const double centre = s.BandCentreHz(b);
  return std::min(centre * std::pow(10.0, 0.05), rate / 2.0) - centre * std::pow(10.0, -0.05);
}

std::vector<float> WhiteNoise(size_t count, double sigma, uint32_t seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> normal(0.0, sigma);
  std::vector<float> samples(count);
  for (float& s : samples) s = static_cast<float>(normal(random));
  return samples;
}

TEST(BandSpectrum, BandsRunFrom20HzToHalfTheRate) {
  TBandSpectrum s;
  s.Reset(44100);
  ASSERT_GT(s.BandCount(), 0);
  EXPECT_NEAR(s.BandCentreHz(0), 19.95, 0.01);
  EXPECT_NEAR(s.BandCentreHz(s.BandCount() - 1), 19952.6, 0.1);
  EXPECT_EQ(s.BandLevelDb(0), -INFINITY) << "nothing measured yet";
  s.Reset(8000);
  EXPECT_NEAR(s.BandCentreHz(s.BandCount() - 1), 3981.1, 0.1);
}

TEST(BandSpectrum, WhiteNoiseRisesOneDbPerBandAsItsWidthGrows) {
  for (int32_t rate : {8000, 48000}) {
    SCOPED_TRACE(rate);
    TBandSpectrum s;
    s.Reset(rate);
    const double sigma = 0.1;
    // 300 blocks: the 20 Hz band, under two bins wide at 48 kHz, still
    // averages enough of them to stay well within a dB.
    const auto samples = WhiteNoise(static_cast<size_t>(s.FftSize()) * 150, sigma, 7);
    s.Add(samples.data(), static_cast<int32_t>(samples.size()));
    ASSERT_GE(s.Blocks(), 290);
    for (int32_t b = 0; b < s.BandCount(); ++b) {
      const double expected = 10 * std::log10(sigma * sigma * BandWidth(s, b, rate) / (rate / 2.0));
      EXPECT_NEAR(s.BandLevelDb(b), expected, 1.0) << "band at " << s.BandCentreHz(b) << " Hz";
    }
    const int32_t mid = s.BandCount() / 2;
    EXPECT_NEAR(s.BandLevelDb(mid + 3) - s.BandLevelDb(mid), 3.0, 0.5) << "three bands: one octave, 3 dB";
  }
}

TEST(BandSpectrum, ASineLandsInItsBandAtItsRmsLevel) {
  constexpr int32_t Rate = 48000;
  TBandSpectrum s;
  s.Reset(Rate);
  std::vector<float> samples(Rate * 4);
  for (size_t n = 0; n < samples.size(); ++n)
    samples[n] = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * 1000 * static_cast<double>(n) / Rate));
  // In pieces of odd sizes, as buffers arrive.
  for (size_t at = 0; at < samples.size(); at += 1021)
    s.Add(samples.data() + at, static_cast<int32_t>(std::min<size_t>(1021, samples.size() - at)));
  int32_t band1k = 0;
  while (std::abs(s.BandCentreHz(band1k) - 1000) > 1) ++band1k;
  EXPECT_NEAR(s.BandLevelDb(band1k), 20 * std::log10(0.5 / std::sqrt(2.0)), 0.05);
  EXPECT_LT(s.BandLevelDb(band1k - 2), -80);
  EXPECT_LT(s.BandLevelDb(band1k + 2), -80);
  s.Clear();
  EXPECT_EQ(s.Blocks(), 0);
  EXPECT_EQ(s.BandLevelDb(band1k), -INFINITY);
}

}  // namespace
