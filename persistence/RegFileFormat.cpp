#include "persistence/RegFileFormat.h"

#include <charconv>

namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

/// Reads a quoted, escaped string at the front of line and removes it.
std::optional<std::string> TakeQuoted(std::string_view& line) {
  if (line.empty() || line[0] != '"') return std::nullopt;
  std::string out;
  for (size_t i = 1; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      line.remove_prefix(i + 1);
      return out;
    }
    if (IsControl(c)) return std::nullopt;
    if (c == '\\') {
      if (++i == line.size() || (line[i] != '\\' && line[i] != '"')) return std::nullopt;
      c = line[i];
    }
    out += c;
  }
  return std::nullopt;
}

std::optional<uint32_t> ParseDWord(std::string_view digits) {
  if (digits.size() != 8) return std::nullopt;
  uint32_t value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

std::optional<TSettingsValue> ParseData(std::string_view data) {
  constexpr std::string_view kDWord = "dword:";
  if (data.substr(0, kDWord.size()) == kDWord) {
    auto value = ParseDWord(data.substr(kDWord.size()));
    if (value) return TSettingsValue::OfDWord(*value);
    return std::nullopt;
  }
  auto text = TakeQuoted(data);
  if (!text || !data.empty()) return std::nullopt;
  return TSettingsValue::OfText(std::move(*text));
}

/// Adds the value of a well-formed line `"Name"=data`; ignores anything else.
void ParseValueLine(std::string_view line, TSettingsValues& values) {
  auto name = TakeQuoted(line);
  if (!name || line.empty() || line[0] != '=') return;
  auto value = ParseData(line.substr(1));
  if (value) values.insert_or_assign(std::move(*name), std::move(*value));
}

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += IsControl(c) ? ' ' : c;
  }
  out += '"';
}

void AppendHex8(std::string& out, uint32_t value) {
  constexpr char kDigits[] = "0123456789abcdef";
  for (int shift = 28; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

}  // namespace

std::optional<TSettingsValues> ParseRegFile(std::string_view text) {
  std::optional<TSettingsValues> values;
  bool inKey = false;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    if (!line.empty() && line.front() == '[' && line.back() == ']') {
      std::string_view section = line.substr(1, line.size() - 2);
      inKey = !TNameLess()(section, kRegKeyPath) && !TNameLess()(kRegKeyPath, section);
      if (inKey && !values) values.emplace();
    } else if (inKey) {
      ParseValueLine(line, *values);
    }
  }
  return values;
}

std::string FormatRegFile(const TSettingsValues& values) {
  std::string out = "REGEDIT4\n\n[";
  out += kRegKeyPath;
  out += "]\n";
  for (const auto& [name, value] : values) {
    AppendQuoted(out, name);
    out += '=';
    if (value.Type == TSettingsValue::TType::DWord) {
      out += "dword:";
      AppendHex8(out, value.DWord);
    } else {
      AppendQuoted(out, value.Text);
    }
    out += '\n';
  }
  return out;
}
