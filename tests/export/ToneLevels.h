#pragma once
// Levels of a signal at single frequencies, and the response a biquad of the
// audio-equalizer cookbook is designed to have, for measuring what a filter
// did to noise.

#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <vector>

/// Mean power at `hz` over Hann-windowed segments of 4096 samples
/// (Goertzel), so that a noise signal gives a steady figure.
inline double PowerAt(const std::vector<int32_t>& x, double hz, double rate) {
  constexpr size_t n = 4096;
  const double w = 2 * std::numbers::pi * hz / rate;
  const double coefficient = 2 * std::cos(w);
  double total = 0;
  size_t segments = 0;
  for (size_t start = 0; start + n <= x.size(); start += n, ++segments) {
    double s1 = 0, s2 = 0;
    for (size_t i = 0; i < n; ++i) {
      const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n);
      const double s0 = hann * x[start + i] + coefficient * s1 - s2;
      s2 = s1;
      s1 = s0;
    }
    total += s1 * s1 + s2 * s2 - coefficient * s1 * s2;
  }
  return segments ? total / segments : 0;
}

/// 10 log10 of the power ratio of `filtered` to `plain` at `hz`: the
/// measured response when both carry the same noise.
inline double MeasuredDb(const std::vector<int32_t>& filtered, const std::vector<int32_t>& plain,
                         double hz, double rate) {
  return 10 * std::log10(PowerAt(filtered, hz, rate) / PowerAt(plain, hz, rate));
}

/// Filter list entries as the user sees them.
enum class TDesign { Peaking = 1, HighPass, LowPass, BandPass, Notch };

/// |H| in dB at `hz` of the cookbook biquad (A = 10^(gain/40),
/// w0 = 2 pi f0 / rate, alpha = sin w0 / 2Q; Band Pass with 0 dB at f0).
inline double DesignedDb(TDesign type, double f0, double q, double gainDb, double rate, double hz) {
  const double w0 = 2 * std::numbers::pi * f0 / rate, c = std::cos(w0);
  const double alpha = std::sin(w0) / (2 * q), a = std::pow(10.0, gainDb / 40);
  double b[3] = {1, 0, 0}, d[3] = {1, 0, 0};
  auto set = [&](double b0, double b1, double b2, double a0, double a1, double a2) {
    b[0] = b0, b[1] = b1, b[2] = b2, d[0] = a0, d[1] = a1, d[2] = a2;
  };
  switch (type) {
    case TDesign::Peaking: set(1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a); break;
    case TDesign::HighPass: set((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha); break;
    case TDesign::LowPass: set((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha); break;
    case TDesign::BandPass: set(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha); break;
    case TDesign::Notch: set(1, -2 * c, 1, 1 + alpha, -2 * c, 1 - alpha); break;
  }
  const std::complex<double> z1 = std::polar(1.0, -2 * std::numbers::pi * hz / rate), z2 = z1 * z1;
  const auto h = (b[0] + b[1] * z1 + b[2] * z2) / (d[0] + d[1] * z1 + d[2] * z2);
  return 20 * std::log10(std::abs(h));
}
