#pragma once
// The preset file as the tests know it, written down independently of the
// program's own layout: the 21-byte header, then four records of 4140 bytes
// with 31 fields at these offsets. Short texts: a length byte and up to 255
// characters; indexes: little-endian 32-bit; flags: one byte.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

enum class TRecordKind { Text, Index, Flag };

struct TRecordField {
  const char* Name;
  size_t Offset;
  TRecordKind Kind;
};

inline const std::vector<TRecordField>& RecordFields() {
  using K = TRecordKind;
  static const std::vector<TRecordField> fields = {
      {"Name", 0, K::Text},               {"Duration", 256, K::Text},
      {"AmplitudeLeft", 512, K::Text},    {"AmplitudeRight", 768, K::Text},
      {"WaveFormLeft", 1024, K::Index},   {"WaveFormRight", 1028, K::Index},
      {"Loop", 1032, K::Flag},            {"Mono", 1033, K::Flag},
      {"LeftTick", 1034, K::Flag},        {"RightTick", 1035, K::Flag},
      {"ModulationOnLeft", 1036, K::Flag}, {"ModulationOnRight", 1037, K::Flag},
      {"ModPeriodLeft", 1038, K::Text},   {"ModPeriodRight", 1294, K::Text},
      {"ModDepthLeft", 1550, K::Text},    {"ModDepthRight", 1806, K::Text},
      {"ModFunctionLeft", 2064, K::Index}, {"ModFunctionRight", 2068, K::Index},
      {"ModPhaseLeft", 2072, K::Text},    {"ModPhaseRight", 2328, K::Text},
      {"CrestFactorLeft", 2584, K::Index}, {"CrestFactorRight", 2588, K::Index},
      {"AsLeft", 2592, K::Flag},          {"FilterTypeLeft", 2596, K::Index},
      {"FZeroLeft", 2600, K::Text},       {"GainLeft", 2856, K::Text},
      {"QLeft", 3112, K::Text},           {"FilterTypeRight", 3368, K::Index},
      {"FZeroRight", 3372, K::Text},      {"GainRight", 3628, K::Text},
      {"QRight", 3884, K::Text},
  };
  return fields;
}

constexpr size_t kRecordBytes = 4140;
constexpr size_t kRecordsStart = 21;

/// One record's fields by name: texts as they stand, indexes and flags as numbers.
struct TRecordValues {
  std::map<std::string, std::string> Texts;
  std::map<std::string, int64_t> Numbers;
};

/// A whole preset file from four records (ASCII texts).
inline std::vector<uint8_t> PresetFileBytes(const std::vector<TRecordValues>& records) {
  std::vector<uint8_t> file(kRecordsStart + 4 * kRecordBytes, 0);
  const std::string header = "ZEP Preset File V1";
  file[0] = static_cast<uint8_t>(header.size());
  for (size_t i = 0; i < header.size(); ++i) file[1 + i] = static_cast<uint8_t>(header[i]);
  for (size_t r = 0; r < records.size() && r < 4; ++r) {
    uint8_t* record = &file[kRecordsStart + r * kRecordBytes];
    for (const TRecordField& f : RecordFields()) {
      uint8_t* at = record + f.Offset;
      if (f.Kind == TRecordKind::Text) {
        const std::string& text = records[r].Texts.at(f.Name);
        at[0] = static_cast<uint8_t>(text.size());
        for (size_t i = 0; i < text.size(); ++i) at[1 + i] = static_cast<uint8_t>(text[i]);
      } else {
        const int64_t value = records[r].Numbers.at(f.Name);
        const int width = f.Kind == TRecordKind::Flag ? 1 : 4;
        for (int b = 0; b < width; ++b) at[b] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * b));
      }
    }
  }
  return file;
}

/// Record `memory` (1..4) of a preset file's bytes.
inline TRecordValues ReadRecord(const std::vector<uint8_t>& file, int memory) {
  TRecordValues values;
  const uint8_t* record = &file.at(kRecordsStart + (memory - 1) * kRecordBytes);
  for (const TRecordField& f : RecordFields()) {
    const uint8_t* at = record + f.Offset;
    if (f.Kind == TRecordKind::Text)
      values.Texts[f.Name] = std::string(reinterpret_cast<const char*>(at + 1), at[0]);
    else if (f.Kind == TRecordKind::Flag)
      values.Numbers[f.Name] = at[0];
    else
      values.Numbers[f.Name] = static_cast<int32_t>(at[0] | at[1] << 8 | at[2] << 16 | uint32_t{at[3]} << 24);
  }
  return values;
}
