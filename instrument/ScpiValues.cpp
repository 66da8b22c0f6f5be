#include "instrument/ScpiValues.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

/// The decimal number at the start of text (sign, digits, point, exponent); its length or 0.
size_t NumberLength(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const size_t expStart = j;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
    if (j > expStart) i = j;
  }
  return i;
}

/// The number of a text NumberLength accepted, in the C locale's form.
std::optional<long double> ParseDecimal(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

struct TMultiplier {
  const char* Prefix;
  long double Factor;
};
// "MA" is mega and "M" milli, as SCPI has it.
constexpr std::array<TMultiplier, 11> Multipliers{{{"EX", 1e18L}, {"PE", 1e15L}, {"T", 1e12L}, {"G", 1e9L},
                                                   {"MA", 1e6L}, {"K", 1e3L}, {"M", 1e-3L}, {"U", 1e-6L},
                                                   {"N", 1e-9L}, {"P", 1e-12L}, {"F", 1e-15L}}};

/// The factor of suffix for the range's units; nothing when the suffix does not fit.
std::optional<long double> SuffixFactor(const std::string& suffix, const TNumericRange& range) {
  if (suffix.empty()) return 1.0L;
  for (const std::string& unit : range.Units) {
    if (suffix == unit) return 1.0L;
    if (unit == "HZ" && suffix == "MHZ") return 1e6L;  // megahertz, by SCPI's exception
    if (unit == "DB" || unit == "DBFS" || unit == "PCT" || unit == "DEG") continue;  // no multiples
    if (suffix.size() <= unit.size() || suffix.compare(suffix.size() - unit.size(), unit.size(), unit) != 0)
      continue;
    const std::string prefix = suffix.substr(0, suffix.size() - unit.size());
    for (const TMultiplier& m : Multipliers)
      if (prefix == m.Prefix) return m.Factor;
  }
  return std::nullopt;
}

bool InRange(long double v, const TNumericRange& range) {
  const bool aboveMin = range.MinExclusive ? v > range.Min : v >= range.Min;
  return aboveMin && v <= range.Max;
}

}  // namespace

bool MatchesKeyword(std::string_view keyword, std::string_view text) {
  const std::string given = Upper(text);
  return given == Upper(keyword) || given == ShortForm(keyword);
}

std::string ShortForm(std::string_view keyword) {
  std::string out;
  for (char c : keyword)
    if (!std::islower(static_cast<unsigned char>(c))) out += c;
  return out;
}

TNumericValue ReadNumeric(std::string_view text, const TNumericRange& range) {
  if (MatchesKeyword("MINimum", text)) return {range.MinExclusive ? 0.001L : range.Min, 0, {}};
  if (MatchesKeyword("MAXimum", text)) return {range.Max, 0, {}};
  if (MatchesKeyword("DEFault", text)) return {range.Default, 0, {}};
  const size_t length = NumberLength(text);
  if (length == 0) return {0, -224, std::string(text)};
  const auto parsed = ParseDecimal(text.substr(0, length));
  if (!parsed) return {0, -222, std::string(text)};
  long double value = *parsed;
  std::string_view rest = text.substr(length);
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  const auto factor = SuffixFactor(Upper(rest), range);
  if (!factor) return {0, -131, std::string(rest)};
  value *= *factor;
  if (!std::isfinite(value) || !InRange(value, range)) return {0, -222, std::string(text)};
  return {value, 0, {}};
}

std::optional<bool> ReadBoolean(std::string_view text) {
  if (MatchesKeyword("ON", text)) return true;
  if (MatchesKeyword("OFF", text)) return false;
  const size_t length = NumberLength(text);
  if (length == 0 || length != text.size()) return std::nullopt;
  const auto parsed = ParseDecimal(text);
  if (!parsed) return std::nullopt;
  return std::fabs(*parsed) >= 0.5L;
}

std::optional<size_t> ReadChoice(std::string_view text, const std::vector<std::string>& choices) {
  for (size_t i = 0; i < choices.size(); ++i)
    if (MatchesKeyword(choices[i], text)) return i;
  return std::nullopt;
}

std::string NumberText(long double value) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), static_cast<double>(value));
  return std::string(buffer.data(), result.ptr);
}

std::string QuotedText(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}
