#include "persistence/MemoryPreset.h"

#include "persistence/ShortText.h"

namespace {
constexpr size_t kShortTextSize = 256;
constexpr size_t At(auto field) { return static_cast<size_t>(field); }
}  // namespace

std::string MemoryPreset::Text(TPresetText field) const {
  return ReadShortText(Bytes().subspan(At(field), kShortTextSize));
}

void MemoryPreset::SetText(TPresetText field, std::string_view utf8) {
  WriteShortText(Bytes().subspan(At(field), kShortTextSize), utf8);
}

int32_t MemoryPreset::Index(TPresetIndex field) const {
  const uint8_t* p = FBytes.data() + At(field);
  uint32_t raw = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
  return static_cast<int32_t>(raw);
}

void MemoryPreset::SetIndex(TPresetIndex field, int32_t index) {
  auto raw = static_cast<uint32_t>(index);
  for (size_t i = 0; i < 4; ++i) FBytes[At(field) + i] = static_cast<uint8_t>(raw >> (8 * i));
}

bool MemoryPreset::Flag(TPresetFlag field) const {
  uint8_t byte = FBytes[At(field)];
  // A hand-made mono byte other than 1 means Stereo.
  return field == TPresetFlag::Mono ? byte == 1 : byte != 0;
}

void MemoryPreset::SetFlag(TPresetFlag field, bool on) { FBytes[At(field)] = on ? 1 : 0; }

TPresetValues MemoryPreset::Values() const {
  TPresetValues values;
  for (const auto& f : kPresetTextFields) values.*f.Member = Text(f.Field);
  for (const auto& f : kPresetIndexFields) values.*f.Member = Index(f.Field);
  for (const auto& f : kPresetFlagFields) values.*f.Member = Flag(f.Field);
  return values;
}

void MemoryPreset::SetValues(const TPresetValues& values) {
  for (const auto& f : kPresetTextFields) SetText(f.Field, values.*f.Member);
  for (const auto& f : kPresetIndexFields) SetIndex(f.Field, values.*f.Member);
  for (const auto& f : kPresetFlagFields) SetFlag(f.Field, values.*f.Member);
}
