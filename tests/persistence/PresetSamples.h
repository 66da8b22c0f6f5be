#pragma once
// Presets whose every value differs from the others and from a zeroed record,
// so that a value landing in the wrong field shows.

#include "persistence/MemoryPreset.h"

#include <string>

inline TPresetValues DistinctPresetValues(int seed) {
  auto text = [seed](const char* base) { return std::string(base) + std::to_string(seed); };
  TPresetValues v;
  v.Name = text("Preset \xC3\xA9 ");
  v.Duration = text("12,5");
  v.AmplitudeLeft = text("-3.");
  v.AmplitudeRight = text("-4.");
  v.WaveFormLeft = 1 + seed;
  v.WaveFormRight = -1 - seed;
  v.Loop = true;
  v.Mono = seed % 2 == 0;
  v.LeftTick = true;
  v.RightTick = seed % 2 == 1;
  v.ModulationOnLeft = true;
  v.ModulationOnRight = seed % 3 == 0;
  v.ModPeriodLeft = text("7.");
  v.ModPeriodRight = text("8.");
  v.ModDepthLeft = text("50.");
  v.ModDepthRight = text("60.");
  v.ModFunctionLeft = 2 + seed;
  v.ModFunctionRight = 3 + seed;
  v.ModPhaseLeft = text("90.");
  v.ModPhaseRight = text("180.");
  v.CrestFactorLeft = 5 + seed;
  v.CrestFactorRight = 6 + seed;
  v.AsLeft = true;
  v.FilterTypeLeft = 4 + seed;
  v.FZeroLeft = text("1000.");
  v.GainLeft = text("-6.");
  v.QLeft = text("0.7");
  v.FilterTypeRight = 0x7FFFFFF0 + seed;
  v.FZeroRight = text("2000.");
  v.GainRight = text("6.");
  v.QRight = text("1.4");
  return v;
}
