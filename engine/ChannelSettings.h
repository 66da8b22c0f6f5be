#pragma once

#include <cstdint>

/// Item indexes of the noise list.
enum TNoiseType : int32_t { ntWhite = 0, ntPink = 1 };
/// Item indexes of the filter type list.
enum TFilterType : int32_t {
  ftNone = 0, ftPeaking = 1, ftHighPass = 2, ftLowPass = 3, ftBandPass = 4, ftNotch = 5
};
/// Item indexes of the modulation function list.
enum TModFunction : int32_t { mfSine = 0, mfCosine = 1, mfSquare = 2, mfTriangular = 3 };

/// Number of entries of the crest-factor list ("1.42:1" .. "10:1").
constexpr int32_t CrestChoiceCount = 7;
/// The list entry a crest choice outside the list falls back to ("6:1").
constexpr int32_t FallbackCrestIndex = 4;
extern const float WhiteCrestExponents[CrestChoiceCount];
extern const float PinkCrestExponents[CrestChoiceCount];

/// One channel's settings as the renderer reads them. List indexes are kept
/// as stored; they may lie outside their lists (hand-made preset files).
struct ChannelSettings {
  int32_t noiseType = ntWhite;
  int32_t crestIndex = 4;
  float crestExponent = 17.0f;
  float amplitudeDb = 0;
  float amplitudeGain = 1.0f;
  int32_t filterType = ftNone;
  bool modulationOn = false;
  int32_t modulationFunction = mfCosine;
  float modulationPeriod = 1.0f;  // seconds
  float modulationDepth = 1.0f;   // fraction, 0..1
  float modulationPhase = 0;      // radians
  float modulationGain = 1.0f;
  int32_t channelOn = 1;
};

/// The crest-factor reaction: crestExponent from the table of the channel's
/// noise type at its crest choice.
void CrestFactorChanged(ChannelSettings& channel) noexcept;
