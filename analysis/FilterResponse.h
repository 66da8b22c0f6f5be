#pragma once
// The magnitude response of a channel's filter design, from its coefficients.

#include "engine/ChannelFilter.h"

#include <cstdint>

/// |H| in dB of the biquad (b0 + b1 z^-1 + b2 z^-2) / (a0 + a1 z^-1 + a2 z^-2)
/// at frequencyHz for sampleRate; -inf where it is exactly 0.
double BiquadResponseDb(const ChannelFilter& f, double frequencyHz, int32_t sampleRate) noexcept;

/// The designed response of a channel whose filter list shows filterType:
/// 0 dB when the filter is bypassed (None keeps the old coefficients).
double DesignedResponseDb(const ChannelFilter& f, int32_t filterType, double frequencyHz,
                          int32_t sampleRate) noexcept;
