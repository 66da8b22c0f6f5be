#include "engine/Numbers.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the strict number syntax and returns the text with the separator
// replaced by '.', ready for from_chars; empty when the syntax is wrong.
// The minus sign U+2212 in UTF-8, which some locales write for "-".
constexpr std::string_view UnicodeMinus = "\xE2\x88\x92";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The text without the blanks around it.
std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string NormaliseNumber(std::string_view text, char separator) {
  text = TrimBlanks(text);
  std::string out;
  size_t i = 0;
  if (text.starts_with(UnicodeMinus)) {
    out += '-';
    i = UnicodeMinus.size();
  } else if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') out += '-';
    ++i;
  }
  int digits = 0;
  bool seenSeparator = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (IsDigit(c)) {
      ++digits;
      out += c;
    } else if (c == separator && !seenSeparator) {
      seenSeparator = true;
      out += '.';
    } else {
      break;
    }
  }
  if (digits == 0) return {};
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    out += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) out += text[i++];
    int expDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++expDigits) out += text[i];
    if (expDigits == 0) return {};
  }
  if (i != text.size()) return {};
  return out;
}

std::string ConvertErrorText(std::string_view text, const char* what) {
  std::string message = "'";
  message.append(text).append("' is not a valid ").append(what);
  return message;
}

// A separator other than "." or "," counts as ".".
char SeparatorOf(const TNumberFormat& fmt) {
  return fmt.DecimalSeparator == ',' ? ',' : '.';
}

}  // namespace

std::optional<long double> TryStrToFloat(std::string_view text, const TNumberFormat& fmt) {
  std::string normal = NormaliseNumber(text, SeparatorOf(fmt));
  if (normal.empty()) return std::nullopt;
  long double value = 0;
  auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (ec != std::errc() || end != normal.data() + normal.size()) return std::nullopt;
  // A value converts when it rounds to a finite 32-bit float: the float
  // maximum's 15-digit text lies just above the maximum and converts.
  if (!std::isfinite(static_cast<float>(value))) return std::nullopt;
  return value;
}

long double StrToFloat(std::string_view text, const TNumberFormat& fmt) {
  auto value = TryStrToFloat(text, fmt);
  if (!value) throw EConvertError(ConvertErrorText(text, "floating point value"));
  return *value;
}

std::optional<float> TryIntlStrToFloat(std::string_view text, const TNumberFormat& fmt) {
  std::string local(text);
  for (char& c : local)
    if (c == ',' || c == '.') c = SeparatorOf(fmt);
  auto value = TryStrToFloat(local, fmt);
  if (!value) return std::nullopt;
  return static_cast<float>(*value);
}

float IntlStrToFloat(std::string_view text, const TNumberFormat& fmt) {
  auto value = TryIntlStrToFloat(text, fmt);
  if (!value) throw EConvertError(ConvertErrorText(text, "floating point value"));
  return *value;
}

int32_t StrToInt(std::string_view text) {
  int64_t value = 0;
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool valid = i < text.size();
  for (; valid && i < text.size(); ++i) {
    if (!IsDigit(text[i])) valid = false;
    else value = value * 10 + (text[i] - '0');
    if (value > int64_t{1} << 32) valid = false;
  }
  if (negative) value = -value;
  if (!valid || value < INT32_MIN || value > INT32_MAX)
    throw EConvertError(ConvertErrorText(text, "integer value"));
  return static_cast<int32_t>(value);
}

std::string FloatToStrGeneral(long double value, const TNumberFormat& fmt) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) value = 0;  // no "-0"
  char raw[64];
  std::snprintf(raw, sizeof raw, "%.15Lg", value);
  std::string out;
  std::string_view s(raw);
  size_t e = s.find('e');
  out = std::string(s.substr(0, e));
  for (char& c : out)
    if (c == '.') c = SeparatorOf(fmt);
  if (e != std::string_view::npos) {
    // "1e-05" becomes "1E-5", "1e+15" becomes "1E15".
    std::string_view exponent = s.substr(e + 1);
    out += 'E';
    if (exponent[0] == '-') out += '-';
    exponent.remove_prefix(1);
    while (exponent.size() > 1 && exponent[0] == '0') exponent.remove_prefix(1);
    out += exponent;
  }
  return out;
}

long double RoundToDecimals(long double value, int decimals) noexcept {
  long double scale = std::pow(10.0L, static_cast<long double>(decimals));
  long double scaled = value * scale;
  if (!(std::fabs(scaled) < 0x1p53L)) return value;
  return static_cast<long double>(std::llrint(scaled)) / scale;
}

std::string Cleanup(std::string_view text, float def, int decimals, float maximum, float minimum,
                    const TNumberFormat& fmt) {
  float v = TryIntlStrToFloat(text, fmt).value_or(def);
  if (v > maximum) v = maximum;
  if (!(v >= minimum)) v = minimum;
  return FloatToStrGeneral(RoundToDecimals(v, decimals), fmt);
}

std::string Cleanup(std::string_view text, const TFieldRule& rule, const TNumberFormat& fmt) {
  return Cleanup(text, rule.Default, rule.Decimals, rule.Maximum, rule.Minimum, fmt);
}

namespace {
constexpr float Infinity = std::numeric_limits<float>::infinity();
}

const TFieldRule DurationRule{1, 10, Infinity, 0.1f};
const TFieldRule AmplitudeRule{0, 2, 0, -100};
const TFieldRule ModDepthRule{100, 10, 100, 0};
const TFieldRule ModPhaseRule{0, 10, Infinity, 0};
const TFieldRule FilterGainRule{0, 5, Infinity, -Infinity};
const TFieldRule FilterQRule{1, 5, 100000, 0.01f};

TFieldRule FilterFrequencyRule(int32_t sampleRate) {
  return {1000, 5, static_cast<float>(sampleRate / 2.0), 1};
}

TModPeriodExit ModPeriodExitText(std::string_view text, const TNumberFormat& fmt) {
  auto value = TryStrToFloat(text, fmt);
  if (!value) return {"1", 1.0f};
  return {FloatToStrGeneral(RoundToDecimals(*value, 3), fmt), static_cast<float>(*value)};
}
