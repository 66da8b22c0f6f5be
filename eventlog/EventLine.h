#pragma once
// One event of the output as a line of the event log: a JSON object on one
// line, fields in a fixed order, the time in UTC with milliseconds.

#include <chrono>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

using TLogTime = std::chrono::system_clock::time_point;

/// A field beyond time, pid, event and device: a whole number, a decimal
/// number (written with three decimals) or a text.
struct TLogField {
  std::string Name;
  std::variant<int64_t, double, std::string> Value;
};

struct TLogEvent {
  TLogTime Time;
  int64_t Pid = 0;
  std::string Kind;    ///< "start", "stop", "dropout", "device-lost", "device-back", "clipping", "performance-stop"
  std::string Device;  ///< the device's name as the device list shows it
  std::vector<TLogField> Fields;
};

/// "2026-12-09T18:47:27.123Z".
std::string IsoUtcTime(TLogTime time);
/// text as the inside of a JSON string: quotes, backslashes and control
/// characters escaped, bytes that are no UTF-8 replaced by U+FFFD.
std::string JsonEscaped(const std::string& text);
/// The event as one JSON object and a newline.
std::string JsonLine(const TLogEvent& event);
/// A field's value as a table shows it (text unquoted).
std::string FieldText(const TLogField& field);
