#include "analysis/FilterResponse.h"

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

double BiquadResponseDb(const ChannelFilter& f, double frequencyHz, int32_t sampleRate) noexcept {
  const double w = 2 * std::numbers::pi * frequencyHz / sampleRate;
  const std::complex<double> z1 = std::polar(1.0, -w), z2 = z1 * z1;
  const double magnitude = std::abs((f.b0 + f.b1 * z1 + f.b2 * z2) / (f.a0 + f.a1 * z1 + f.a2 * z2));
  return magnitude > 0 ? 20 * std::log10(magnitude) : -std::numeric_limits<double>::infinity();
}

double DesignedResponseDb(const ChannelFilter& f, int32_t filterType, double frequencyHz,
                          int32_t sampleRate) noexcept {
  return IsFilterActive(filterType) ? BiquadResponseDb(f, frequencyHz, sampleRate) : 0.0;
}
