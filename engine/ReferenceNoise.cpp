// Every expression keeps the definition's order of operations: the output
// must match it bit for bit, so the build compiles this file without fused
// multiply-adds (see engine/CMakeLists.txt).

#include "engine/ReferenceNoise.h"

#include "engine/Render.h"

#include <cmath>
#include <numbers>

namespace {

constexpr uint32_t Multiplier = 1664525;
constexpr double Pole[5] = {0.9994551, 0.9969859, 0.9844470, 0.9161757, 0.6563399};
constexpr double Gain[5] = {0.00198166688621989, 0.00263702334184061, 0.00643213710202331, 0.01438952538362820,
                            0.02698408541064610};
constexpr double DirectWhite = 0.0342675832159306;
constexpr double DelayedWhite = 0.0088766118009356;

/// One section of the 4th-order Butterworth high pass at 10 Hz, by matched Z.
TReferenceBiquad HighPass(double t, double damping, double frequency) {
  TReferenceBiquad f;
  f.a1 = -2 * std::exp(-damping * t) * std::cos(frequency * t);
  f.a2 = std::exp(-2 * damping * t);
  f.b0 = (1 - f.a1 + f.a2) / 4;
  f.b1 = -2 * f.b0;
  f.b2 = f.b0;
  return f;
}

/// One section of the low pass at 22.4 kHz, by the bilinear transform.
TReferenceBiquad LowPass(double k, double q) {
  TReferenceBiquad f;
  const double n = k * k + k / q + 1;
  f.b0 = k * k / n;
  f.b1 = 2 * f.b0;
  f.b2 = f.b0;
  f.a1 = 2 * (k * k - 1) / n;
  f.a2 = (k * k - k / q + 1) / n;
  return f;
}

const double PeakLimit = std::pow(10.0, ReferencePeakDbFs / 20);

}  // namespace

bool TReferenceNoise::SupportsRate(int32_t rate) noexcept { return rate == 48000 || rate == 96000 || rate == 192000; }

int64_t TReferenceNoise::PeriodAt(int32_t rate) noexcept { return rate > 48000 ? int64_t{1} << 20 : int64_t{1} << 19; }

void TReferenceNoise::Start(int32_t rate) noexcept {
  FRate = rate;
  FPeriod = PeriodAt(rate);
  FIncrement = rate > 48000 ? 163841 : 52737;
  FSeed = 0;
  FWhiteScale = 2 / static_cast<double>(FPeriod - 1);
  for (double& s : FPink) s = 0;
  FDelayedWhite = 0;
  const double t = 2 * std::numbers::pi * 10 / rate;
  const double k = std::tan(std::numbers::pi * 22400 / rate);
  FFilters[0] = HighPass(t, 0.3826835, 0.9238795);
  FFilters[1] = HighPass(t, 0.9238795, 0.3826835);
  FFilters[2] = LowPass(k, 1.306563);
  FFilters[3] = LowPass(k, 0.541196);
  for (int64_t i = 0; i < FPeriod; ++i) Next();
}

double TReferenceNoise::Next() noexcept {
  // The period is a power of two, so the mask is the definition's AND with P - 1.
  FSeed = (Multiplier * FSeed + FIncrement) & static_cast<uint32_t>(FPeriod - 1);
  const double white = FSeed * FWhiteScale - 1;
  for (int i = 0; i < 5; ++i) FPink[i] = Pole[i] * FPink[i] + Gain[i] * white;
  double x = FPink[0] + FPink[1] + FPink[2] + FPink[3] + FPink[4] + FDelayedWhite + white * DirectWhite;
  FDelayedWhite = white * DelayedWhite;
  for (TReferenceBiquad& f : FFilters) x = f.Process(x);
  if (x > PeakLimit) return PeakLimit;
  if (x < -PeakLimit) return -PeakLimit;
  return x;
}

int64_t ReferenceFrames(int32_t rate, double seconds) noexcept {
  const int64_t period = TReferenceNoise::PeriodAt(rate);
  const auto periods = static_cast<int64_t>(std::ceil((period + rate * seconds) / period));
  return periods * period - period;
}

int32_t ReferenceSample(double x, int bytesPerSample) noexcept {
  const auto scaled = static_cast<int64_t>(x * 2147483647.0);  // truncates toward zero
  // An arithmetic shift is the floor of the division, also below zero.
  return static_cast<int32_t>(scaled >> (bytesPerSample == 3 ? 8 : 16));
}

void RenderReferenceFrames(TReferenceNoise& noise, uint8_t* out, int32_t frames, int channels, int bytesPerSample,
                           uint32_t channelMask) noexcept {
  for (int32_t i = 0; i < frames; ++i) {
    const int32_t sample = ReferenceSample(noise.Next(), bytesPerSample);
    for (int c = 0; c < channels; ++c) StoreSample(out, (channelMask >> c & 1) != 0 ? sample : 0, bytesPerSample);
  }
}
