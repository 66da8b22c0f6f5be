#include "persistence/RegFileFormat.h"

#include "persistence/Utf8.h"

#include <charconv>

namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

/// The line without its line break.
std::string_view Content(std::string_view raw) {
  if (!raw.empty() && raw.back() == '\n') raw.remove_suffix(1);
  if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
  return raw;
}

bool EndsWithBreak(const std::string& raw) { return !raw.empty() && raw.back() == '\n'; }

bool SameName(std::string_view a, std::string_view b) { return !TNameLess()(a, b) && !TNameLess()(b, a); }

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

/// 1 to 8 hex digits, either case.
std::optional<uint32_t> ParseDWord(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  uint32_t value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

std::optional<TSettingsValue> ParseData(std::string_view data) {
  constexpr std::string_view kDWord = "dword:";
  if (SameName(data.substr(0, kDWord.size()), kDWord)) {
    auto value = ParseDWord(data.substr(kDWord.size()));
    if (value) return TSettingsValue::OfDWord(*value);
    return std::nullopt;
  }
  auto text = TakeQuoted(data);
  if (!text || !data.empty()) return std::nullopt;
  return TSettingsValue::OfText(std::move(*text));
}

/// The value of a line `"Name" = data` (blanks allowed around the parts).
std::optional<std::pair<std::string, TSettingsValue>> ParseValueLine(std::string_view line) {
  line = Trimmed(line);
  auto name = TakeQuoted(line);
  if (!name) return std::nullopt;
  line = Trimmed(line);
  if (line.empty() || line[0] != '=') return std::nullopt;
  auto value = ParseData(Trimmed(line.substr(1)));
  if (!value) return std::nullopt;
  return std::pair{std::move(*name), std::move(*value)};
}

/// The section name of a line `[name]`, if it is one.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trimmed(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return line.substr(1, line.size() - 2);
}

bool IsKeySection(std::string_view section) { return SameName(section, kRegKeyPath); }

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : ValidUtf8(text)) {
    if (c == '\\' || c == '"') out += '\\';
    out += IsControl(c) ? ' ' : c;
  }
  out += '"';
}

void AppendHex8(std::string& out, uint32_t value) {
  constexpr char kDigits[] = "0123456789abcdef";
  for (int shift = 28; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

std::string ValueLine(const std::string& name, const TSettingsValue& value) {
  std::string out;
  AppendQuoted(out, name);
  out += '=';
  if (value.Type == TSettingsValue::TType::DWord) {
    out += "dword:";
    AppendHex8(out, value.DWord);
  } else {
    AppendQuoted(out, value.Text);
  }
  return out;
}

}  // namespace

TRegDocument::TRegDocument(std::string_view text) {
  bool inKey = false;
  while (!text.empty()) {
    size_t end = text.find('\n');
    end = end == std::string_view::npos ? text.size() : end + 1;
    TLine line{std::string(text.substr(0, end)), false, std::nullopt};
    text.remove_prefix(end);
    std::string_view content = Content(line.Raw);
    if (auto section = SectionOf(content)) {
      inKey = IsKeySection(*section);
      line.InKey = inKey;
    } else if (inKey) {
      line.InKey = true;
      line.Value = ParseValueLine(content);
    }
    FLines.push_back(std::move(line));
  }
}

std::optional<TSettingsValues> TRegDocument::Values() const {
  std::optional<TSettingsValues> values;
  for (const TLine& line : FLines) {
    if (line.InKey && !values) values.emplace();
    if (!line.Value) continue;
    // The last line of a name counts, with its spelling, as a rewrite keeps it.
    values->erase(line.Value->first);
    values->emplace(line.Value->first, line.Value->second);
  }
  return values;
}

void TRegDocument::Set(const TSettingsValues& values) {
  for (const auto& [name, value] : values) SetValue(name, value);
}

std::string TRegDocument::Text() const {
  std::string text;
  for (const TLine& line : FLines) text += line.Raw;
  return text;
}

void TRegDocument::SetValue(const std::string& name, const TSettingsValue& value) {
  size_t last = FLines.size();
  for (size_t i = 0; i < FLines.size(); ++i) {
    const auto& found = FLines[i].Value;
    if (found && SameName(found->first, name)) last = i;
  }
  // A stored name keeps its spelling, as the registry keeps it.
  std::string content = ValueLine(last < FLines.size() ? FLines[last].Value->first : name, value);
  TLine line{content, true, ParseValueLine(content)};
  if (last < FLines.size()) {
    line.Raw += FLines[last].Raw.substr(Content(FLines[last].Raw).size());  // its own line break
    FLines[last] = std::move(line);
    // Earlier lines of the same name would read as nothing but confusion.
    for (size_t i = last; i-- > 0;) {
      const auto& found = FLines[i].Value;
      if (found && SameName(found->first, name))
        FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return;
  }
  const std::string lineBreak = LineBreak();
  size_t at = EndOfLastKeySection();
  if (at > 0 && !EndsWithBreak(FLines[at - 1].Raw)) FLines[at - 1].Raw += lineBreak;
  line.Raw += lineBreak;
  FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

size_t TRegDocument::EndOfLastKeySection() {
  size_t end = 0;
  bool found = false;
  for (size_t i = 0; i < FLines.size(); ++i) {
    if (FLines[i].InKey && !Trimmed(Content(FLines[i].Raw)).empty()) {
      end = i + 1;
      found = true;
    }
  }
  if (found) return end;
  // No key section yet: one is added at the end, after a blank line.
  const std::string lineBreak = LineBreak();
  if (FLines.empty()) {
    FLines.push_back({"REGEDIT4" + lineBreak, false, std::nullopt});
  } else if (!EndsWithBreak(FLines.back().Raw)) {
    FLines.back().Raw += lineBreak;
  }
  if (!Trimmed(Content(FLines.back().Raw)).empty()) FLines.push_back({lineBreak, false, std::nullopt});
  FLines.push_back({std::string("[") + kRegKeyPath + "]" + lineBreak, true, std::nullopt});
  return FLines.size();
}

std::string TRegDocument::LineBreak() const {
  return !FLines.empty() && FLines.front().Raw.ends_with("\r\n") ? "\r\n" : "\n";
}

std::optional<TSettingsValues> ParseRegFile(std::string_view text) { return TRegDocument(text).Values(); }

std::string FormatRegFile(const TSettingsValues& values) {
  TRegDocument document;
  document.Set(values);
  return document.Text();
}
