#include "engine/ChannelSettings.h"

const float WhiteCrestExponents[CrestChoiceCount] = {1.0f, 1.5f, 4.0f, 7.5f, 17.0f, 31.0f, 49.0f};
const float PinkCrestExponents[CrestChoiceCount] = {0.15f, 0.3166f, 0.535f, 0.7f, 0.955f, 1.17f, 1.31f};

void CrestFactorChanged(ChannelSettings& channel) noexcept {
  int32_t index = channel.crestIndex;
  if (index < 0 || index >= CrestChoiceCount) index = FallbackCrestIndex;
  const float* table = channel.noiseType == ntPink ? PinkCrestExponents : WhiteCrestExponents;
  channel.crestExponent = table[index];
}
