#pragma once

#include "engine/GeneratorState.h"

#include <cstdint>

/// True when the channel's gain follows its modulation at each sample:
/// modulation on, a function of the list, a period above 0 and a finite
/// phase. Otherwise the gain stays as it is (1 after preparation and after
/// switching), so a period of 0 never reaches the phase formula.
bool ModulationRuns(const ChannelSettings& channel) noexcept;

/// Modulation phase at `frame`: (frame / rate) x 2 pi / period + phase, in
/// extended precision.
long double ModulationAngle(int64_t frame, int32_t sampleRate, float period, float phase) noexcept;

/// The modulation gain of `channel` at `frame` by its definition:
/// 1 - depth x 0.5 x (m + 1) in 32-bit float steps, m from the function,
/// the depth taken within 0..1; the channel's current gain where a
/// triangular angle has no finite 32-bit value. Only for channels where
/// ModulationRuns.
float ModulationGainAt(int64_t frame, int32_t sampleRate, const ChannelSettings& channel) noexcept;

/// The same value as ModulationGainAt, computed on a fast path where it
/// provably gives the same float, and shared between channels with equal
/// modulation settings at the same frame.
float ModulationGain(GeneratorState& state, const ChannelSettings& channel, int64_t frame) noexcept;

/// Gains of ModulationGainAt for frames[j] (j < count) into gains[j], as
/// if each became the channel's gain in turn.
/// Consecutive frames advance the phase by rotation instead of new sines.
void ModulationGains(const ChannelSettings& channel, int32_t sampleRate, const int64_t* frames,
                     int32_t count, float* gains) noexcept;

/// True when both channels' modulation settings give the same gains.
bool SameModulation(const ChannelSettings& a, const ChannelSettings& b) noexcept;

/// The depth fraction of a percentage: percent x 0.01 in extended
/// precision, rounded once to 32 bits.
float DepthFraction(long double percent) noexcept;
