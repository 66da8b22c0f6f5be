#pragma once
// One memory preset: a complete set-up of the generator window as the fixed
// 4140-byte record that preset files hold byte for byte.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

/// Text fields, each 256 bytes (a short text); the value is the field's offset.
enum class TPresetText : uint16_t {
  Name = 0, Duration = 256, AmplitudeLeft = 512, AmplitudeRight = 768,
  ModPeriodLeft = 1038, ModPeriodRight = 1294, ModDepthLeft = 1550, ModDepthRight = 1806,
  ModPhaseLeft = 2072, ModPhaseRight = 2328,
  FZeroLeft = 2600, GainLeft = 2856, QLeft = 3112,
  FZeroRight = 3372, GainRight = 3628, QRight = 3884,
};

/// List indexes, each a little-endian int32 (-1: no selection); the value is the offset.
enum class TPresetIndex : uint16_t {
  WaveFormLeft = 1024, WaveFormRight = 1028, ModFunctionLeft = 2064, ModFunctionRight = 2068,
  CrestFactorLeft = 2584, CrestFactorRight = 2588, FilterTypeLeft = 2596, FilterTypeRight = 3368,
};

/// Flags, one byte each; the value is the offset.
enum class TPresetFlag : uint16_t {
  Loop = 1032, Mono = 1033, LeftTick = 1034, RightTick = 1035,
  ModulationOnLeft = 1036, ModulationOnRight = 1037, AsLeft = 2592,
};

/// The 31 values of a preset in plain form, texts in UTF-8.
struct TPresetValues {
  std::string Name, Duration, AmplitudeLeft, AmplitudeRight;
  int32_t WaveFormLeft = 0, WaveFormRight = 0;
  bool Loop = false, Mono = false, LeftTick = false, RightTick = false;
  bool ModulationOnLeft = false, ModulationOnRight = false;
  std::string ModPeriodLeft, ModPeriodRight, ModDepthLeft, ModDepthRight;
  int32_t ModFunctionLeft = 0, ModFunctionRight = 0;
  std::string ModPhaseLeft, ModPhaseRight;
  int32_t CrestFactorLeft = 0, CrestFactorRight = 0;
  bool AsLeft = false;
  int32_t FilterTypeLeft = 0;
  std::string FZeroLeft, GainLeft, QLeft;
  int32_t FilterTypeRight = 0;
  std::string FZeroRight, GainRight, QRight;

  bool operator==(const TPresetValues&) const = default;
};

class MemoryPreset {
public:
  static constexpr size_t Size = 4140;

  /// All bytes zero: empty texts, indexes 0, flags off.
  MemoryPreset() = default;

  std::string Text(TPresetText field) const;
  /// Stores the text converted to Windows-1252 and cut to 255 characters;
  /// bytes after it keep what they held.
  void SetText(TPresetText field, std::string_view utf8);
  int32_t Index(TPresetIndex field) const;
  void SetIndex(TPresetIndex field, int32_t index);
  /// True for any nonzero byte, except Mono, which is true only for exactly 1.
  bool Flag(TPresetFlag field) const;
  /// Writes 1 or 0.
  void SetFlag(TPresetFlag field, bool on);

  std::string Name() const { return Text(TPresetText::Name); }
  void SetName(std::string_view utf8) { SetText(TPresetText::Name, utf8); }

  /// All 31 values at once.
  TPresetValues Values() const;
  /// Writes all 31 values, the name included.
  void SetValues(const TPresetValues& values);

  /// The record as stored in a preset file.
  std::span<uint8_t, Size> Bytes() { return FBytes; }
  std::span<const uint8_t, Size> Bytes() const { return FBytes; }

private:
  std::array<uint8_t, Size> FBytes{};
};

/// Where each value of TPresetValues lives in the record, with the key that
/// names it in readable preset definitions.
struct TPresetTextField { const char* Key; TPresetText Field; std::string TPresetValues::*Member; };
struct TPresetIndexField { const char* Key; TPresetIndex Field; int32_t TPresetValues::*Member; };
struct TPresetFlagField { const char* Key; TPresetFlag Field; bool TPresetValues::*Member; };

inline constexpr std::array<TPresetTextField, 16> kPresetTextFields{{
    {"Name", TPresetText::Name, &TPresetValues::Name},
    {"Duration", TPresetText::Duration, &TPresetValues::Duration},
    {"AmplitudeLeft", TPresetText::AmplitudeLeft, &TPresetValues::AmplitudeLeft},
    {"AmplitudeRight", TPresetText::AmplitudeRight, &TPresetValues::AmplitudeRight},
    {"ModPeriodLeft", TPresetText::ModPeriodLeft, &TPresetValues::ModPeriodLeft},
    {"ModPeriodRight", TPresetText::ModPeriodRight, &TPresetValues::ModPeriodRight},
    {"ModDepthLeft", TPresetText::ModDepthLeft, &TPresetValues::ModDepthLeft},
    {"ModDepthRight", TPresetText::ModDepthRight, &TPresetValues::ModDepthRight},
    {"ModPhaseLeft", TPresetText::ModPhaseLeft, &TPresetValues::ModPhaseLeft},
    {"ModPhaseRight", TPresetText::ModPhaseRight, &TPresetValues::ModPhaseRight},
    {"FZeroLeft", TPresetText::FZeroLeft, &TPresetValues::FZeroLeft},
    {"GainLeft", TPresetText::GainLeft, &TPresetValues::GainLeft},
    {"QLeft", TPresetText::QLeft, &TPresetValues::QLeft},
    {"FZeroRight", TPresetText::FZeroRight, &TPresetValues::FZeroRight},
    {"GainRight", TPresetText::GainRight, &TPresetValues::GainRight},
    {"QRight", TPresetText::QRight, &TPresetValues::QRight},
}};

inline constexpr std::array<TPresetIndexField, 8> kPresetIndexFields{{
    {"WaveFormLeft", TPresetIndex::WaveFormLeft, &TPresetValues::WaveFormLeft},
    {"WaveFormRight", TPresetIndex::WaveFormRight, &TPresetValues::WaveFormRight},
    {"ModFunctionLeft", TPresetIndex::ModFunctionLeft, &TPresetValues::ModFunctionLeft},
    {"ModFunctionRight", TPresetIndex::ModFunctionRight, &TPresetValues::ModFunctionRight},
    {"CrestFactorLeft", TPresetIndex::CrestFactorLeft, &TPresetValues::CrestFactorLeft},
    {"CrestFactorRight", TPresetIndex::CrestFactorRight, &TPresetValues::CrestFactorRight},
    {"FilterTypeLeft", TPresetIndex::FilterTypeLeft, &TPresetValues::FilterTypeLeft},
    {"FilterTypeRight", TPresetIndex::FilterTypeRight, &TPresetValues::FilterTypeRight},
}};

inline constexpr std::array<TPresetFlagField, 7> kPresetFlagFields{{
    {"Loop", TPresetFlag::Loop, &TPresetValues::Loop},
    {"Mono", TPresetFlag::Mono, &TPresetValues::Mono},
    {"LeftTick", TPresetFlag::LeftTick, &TPresetValues::LeftTick},
    {"RightTick", TPresetFlag::RightTick, &TPresetValues::RightTick},
    {"ModulationOnLeft", TPresetFlag::ModulationOnLeft, &TPresetValues::ModulationOnLeft},
    {"ModulationOnRight", TPresetFlag::ModulationOnRight, &TPresetValues::ModulationOnRight},
    {"AsLeft", TPresetFlag::AsLeft, &TPresetValues::AsLeft},
}};
