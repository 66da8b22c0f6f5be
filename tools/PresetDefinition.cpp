#include "tools/PresetDefinition.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>

namespace {

struct TEntry {
  std::string Value;
  int Line = 0;
};
using TSection = std::map<std::string, TEntry, std::less<>>;
struct TParsedSection {
  int Line = 0;  ///< of the section's heading
  TSection Values;
};

/// The sizes of the lists behind the index fields.
constexpr std::array<std::pair<std::string_view, int32_t>, 8> kListSizes{{
    {"WaveFormLeft", 2}, {"WaveFormRight", 2},          // White, Pink
    {"ModFunctionLeft", 4}, {"ModFunctionRight", 4},    // Sine, Cosine, Square, Triangular
    {"CrestFactorLeft", 7}, {"CrestFactorRight", 7},    // 1.42:1 ... 10:1
    {"FilterTypeLeft", 6}, {"FilterTypeRight", 6},      // None ... Notch
}};
constexpr double kMaxCentreFrequency = 4000;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

[[noreturn]] void Fail(int line, const std::string& what) {
  throw TDefinitionError("line " + std::to_string(line) + ": " + what);
}

bool IsInteger(std::string_view s) {
  if (!s.empty() && s.front() == '-') s.remove_prefix(1);
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<double> Number(std::string_view s) {
  double value = 0;
  auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (s.empty() || error != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string CheckedText(std::string_view key, const TEntry& e) {
  std::string_view v = e.Value;
  if (key == "Name") {
    bool printable = std::all_of(v.begin(), v.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    if (!printable || v.size() > 255) Fail(e.Line, "a name must be printable ASCII, at most 255 characters");
    return e.Value;
  }
  auto number = Number(v);
  if (!number) Fail(e.Line, std::string(key) + " must be a number written with '.'");
  if (key.starts_with("Mod") && !IsInteger(v)) Fail(e.Line, std::string(key) + " must be an integer");
  if (key.starts_with("FZero") && (*number < 1 || *number > kMaxCentreFrequency))
    Fail(e.Line, std::string(key) + " must lie within 1 .. 4000 Hz");
  return e.Value;
}

int32_t CheckedIndex(std::string_view key, const TEntry& e) {
  auto size = std::find_if(kListSizes.begin(), kListSizes.end(), [&](auto& s) { return s.first == key; })->second;
  int32_t index = -1;
  auto [end, error] = std::from_chars(e.Value.data(), e.Value.data() + e.Value.size(), index);
  if (error != std::errc() || end != e.Value.data() + e.Value.size() || index < 0 || index >= size)
    Fail(e.Line, std::string(key) + " must be a list index from 0 to " + std::to_string(size - 1));
  return index;
}

bool CheckedFlag(std::string_view key, const TEntry& e) {
  if (e.Value != "0" && e.Value != "1") Fail(e.Line, std::string(key) + " must be 0 or 1");
  return e.Value == "1";
}

bool IsKnownKey(std::string_view key) {
  auto named = [&](const auto& f) { return key == f.Key; };
  return std::any_of(kPresetTextFields.begin(), kPresetTextFields.end(), named) ||
         std::any_of(kPresetIndexFields.begin(), kPresetIndexFields.end(), named) ||
         std::any_of(kPresetFlagFields.begin(), kPresetFlagFields.end(), named);
}

/// The sections of the text by name, every key known and set once per section.
std::map<std::string, TParsedSection> Sections(std::string_view text) {
  std::map<std::string, TParsedSection> sections;
  TSection* current = nullptr;
  for (int line = 1; !text.empty(); ++line) {
    size_t end = text.find('\n');
    std::string_view content = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (content.empty() || content.front() == '#') continue;
    if (content.front() == '[' && content.back() == ']') {
      std::string name(Trim(content.substr(1, content.size() - 2)));
      if (name != "Defaults" && name != "Memory 1" && name != "Memory 2" && name != "Memory 3" && name != "Memory 4")
        Fail(line, "unknown section [" + name + "]");
      if (sections.count(name)) Fail(line, "section [" + name + "] appears twice");
      sections[name].Line = line;
      current = &sections[name].Values;
      continue;
    }
    size_t equals = content.find('=');
    if (equals == std::string_view::npos) Fail(line, "expected Key = Value");
    if (current == nullptr) Fail(line, "a value before the first section");
    std::string key(Trim(content.substr(0, equals)));
    if (!IsKnownKey(key)) Fail(line, "unknown key " + key);
    if (current->count(key)) Fail(line, key + " is set twice");
    (*current)[key] = {std::string(Trim(content.substr(equals + 1))), line};
  }
  return sections;
}

MemoryPreset BuildPreset(const TSection& defaults, const TSection& memory, int memoryLine) {
  auto entry = [&](const char* key) -> const TEntry& {
    if (auto it = memory.find(key); it != memory.end()) return it->second;
    if (auto it = defaults.find(key); it != defaults.end()) return it->second;
    Fail(memoryLine, std::string("no value for ") + key);
  };
  TPresetValues values;
  for (const auto& f : kPresetTextFields) values.*f.Member = CheckedText(f.Key, entry(f.Key));
  for (const auto& f : kPresetIndexFields) values.*f.Member = CheckedIndex(f.Key, entry(f.Key));
  for (const auto& f : kPresetFlagFields) values.*f.Member = CheckedFlag(f.Key, entry(f.Key));
  MemoryPreset preset;
  preset.SetValues(values);
  return preset;
}

}  // namespace

TPresetBank ParsePresetDefinition(std::string_view text) {
  auto sections = Sections(text);
  TPresetBank bank;
  for (int n = 1; n <= 4; ++n) {
    std::string name = "Memory " + std::to_string(n);
    auto memory = sections.find(name);
    if (memory == sections.end()) throw TDefinitionError("no section [" + name + "]");
    bank[n - 1] = BuildPreset(sections["Defaults"].Values, memory->second.Values, memory->second.Line);
  }
  return bank;
}
