#include "eventlog/EventLine.h"

#include <cmath>
#include <cstdio>
#include <ctime>

std::string IsoUtcTime(TLogTime time) {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(time.time_since_epoch()).count();
  const auto seconds = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(ms - int64_t{seconds} * 1000));
  return text;
}

namespace {

/// Length of the well-formed UTF-8 sequence at text[i], 0 when there is none.
size_t Utf8Length(const std::string& text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (length == 0 || i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  // No overlong forms, no surrogates, nothing beyond U+10FFFF.
  const unsigned char second = length > 1 ? byte(i + 1) : 0;
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second > 0x8F))
    return 0;
  return length;
}

void AppendEscapedAscii(std::string& out, char c) {
  switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
  }
  if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
    char code[8];
    std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(c));
    out += code;
  } else {
    out += c;
  }
}

std::string NumberText(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

}  // namespace

std::string JsonEscaped(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size();) {
    const size_t length = Utf8Length(text, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else if (length == 1) {
      AppendEscapedAscii(out, text[i++]);
    } else {
      out.append(text, i, length);
      i += length;
    }
  }
  return out;
}

std::string FieldText(const TLogField& field) {
  if (const auto* whole = std::get_if<int64_t>(&field.Value)) return std::to_string(*whole);
  if (const auto* number = std::get_if<double>(&field.Value)) return NumberText(*number);
  return std::get<std::string>(field.Value);
}

std::string JsonLine(const TLogEvent& event) {
  std::string line = "{\"time\":\"" + IsoUtcTime(event.Time) + "\",\"pid\":" + std::to_string(event.Pid) +
                     ",\"event\":\"" + JsonEscaped(event.Kind) + "\",\"device\":\"" + JsonEscaped(event.Device) + "\"";
  for (const TLogField& field : event.Fields) {
    line += ",\"" + JsonEscaped(field.Name) + "\":";
    // A number that is not finite has no JSON form: it is written as null.
    const auto* number = std::get_if<double>(&field.Value);
    if (std::holds_alternative<std::string>(field.Value))
      line += "\"" + JsonEscaped(FieldText(field)) + "\"";
    else if (number != nullptr && !std::isfinite(*number))
      line += "null";
    else
      line += FieldText(field);
  }
  return line + "}\n";
}
