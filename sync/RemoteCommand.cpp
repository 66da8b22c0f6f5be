#include "sync/RemoteCommand.h"

#include "sync/GeneratorMessages.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

/// How a named message takes its values.
enum class TArgs {
  None,        ///< no value
  Switch,      ///< on/off, 1/0 -> wParam
  Value,       ///< integer -> wParam
  Pair,        ///< two integers -> wParam, lParam
  Seconds,     ///< seconds, to tenths -> wParam
  Memory,      ///< memory number -> lParam
};

struct TAlias {
  const char* Name;
  uint32_t Number;
  TArgs Args;
  uint32_t WParam;  ///< fixed wParam of None and Memory
  const char* Usage;  ///< the name and its values
  const char* Help;
  /// The values a generator acts on (list entries, memories); others it ignores.
  int64_t Min = INT32_MIN;
  int64_t Max = UINT32_MAX;
};

constexpr TAlias kAliases[] = {
    {"on", gmStart, TArgs::None, 0, "on", "start"},
    {"off", gmStop, TArgs::None, 0, "off", "stop at once"},
    {"pause", gmPause, TArgs::None, 0, "pause", "toggle pause"},
    {"sync", gmSync, TArgs::Switch, 0, "sync on|off", "the \"Sync all Generators\" box"},
    {"duration", gmDuration, TArgs::Seconds, 0, "duration SECONDS", "the duration, to a tenth of a second"},
    {"loop", gmLoop, TArgs::Switch, 0, "loop on|off", "the Loop box"},
    {"mono", gmChannels, TArgs::None, 0, "mono", "mono, both channels on"},
    {"stereo", gmChannels, TArgs::None, 3, "stereo", "stereo, both channels on"},
    {"channels", gmChannels, TArgs::Value, 0, "channels BITS", "0 mono, else stereo with 1 left, 2 right, 3 both"},
    {"level-left", gmLevelLeft, TArgs::Value, 0, "level-left DBFS", "the left level, 0 to -100"},
    {"level-right", gmLevelRight, TArgs::Value, 0, "level-right DBFS", "the right level"},
    {"modulation-left", gmModulationLeft, TArgs::Switch, 0, "modulation-left on|off", "the left modulation box"},
    {"modulation-right", gmModulationRight, TArgs::Switch, 0, "modulation-right on|off", "the right modulation box"},
    {"period", gmModPeriods, TArgs::Pair, 0, "period LEFT RIGHT", "modulation periods in s"},
    {"depth", gmModDepths, TArgs::Pair, 0, "depth LEFT RIGHT", "modulation depths in %"},
    {"function", gmModFunctions, TArgs::Pair, 0, "function LEFT RIGHT", "0 sine, 1 cosine, 2 square, 3 triangular",
     0, 3},
    {"phase", gmModPhases, TArgs::Pair, 0, "phase LEFT RIGHT", "modulation phases in degrees"},
    {"waveform-left", gmWaveFormLeft, TArgs::Value, 0, "waveform-left 0|1", "white or pink noise", 0, 1},
    {"waveform-right", gmWaveFormRight, TArgs::Value, 0, "waveform-right 0|1", "white or pink noise", 0, 1},
    {"device", gmDevice, TArgs::Value, 0, "device ID", "output device id, -1 the system default"},
    {"recall", gmMemory, TArgs::Memory, 0, "recall N", "memory preset 1 to 4", 1, 4},
    {"store", gmMemory, TArgs::Memory, 1, "store N", "memory preset 1 to 4", 1, 4},
};

/// A decimal integer (or 0x hex) in -2^31 .. 2^32-1, as its 32-bit pattern.
std::optional<uint32_t> ParseInteger(const std::string& text) {
  std::string_view s = text;
  bool negative = false;
  if (!s.empty() && s.front() == '-') {
    negative = true;
    s.remove_prefix(1);
  }
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  uint64_t v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  if (negative ? v > uint64_t{1} << 31 : v > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  return static_cast<uint32_t>(negative ? uint64_t{0} - v : v);
}

std::optional<uint32_t> ParseSwitch(const std::string& text) {
  if (text == "on") return 1;
  if (text == "off") return 0;
  return ParseInteger(text);
}

/// Seconds written with '.', rounded to tenths; none for a negative or too long time.
std::optional<uint32_t> ParseTenths(const std::string& text) {
  double seconds = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  const double tenths = std::nearbyint(seconds * 10);
  if (!(tenths >= 0 && tenths <= std::numeric_limits<uint32_t>::max())) return std::nullopt;
  return static_cast<uint32_t>(tenths);
}

size_t ValueCount(TArgs args) {
  switch (args) {
    case TArgs::None: return 0;
    case TArgs::Pair: return 2;
    default: return 1;
  }
}

/// The value as a generator reads an index or a memory number: signed.
int64_t SignedValue(uint32_t value) {
  return value > uint32_t{INT32_MAX} ? int64_t{static_cast<int32_t>(value)} : int64_t{value};
}

std::optional<std::string> OutOfRange(const TAlias& a, const std::string& text, uint32_t value) {
  const int64_t v = SignedValue(value);
  if (v >= a.Min && v <= a.Max) return std::nullopt;
  return "'" + text + "' is out of range for '" + a.Name + "': " + std::to_string(a.Min) + " to " +
         std::to_string(a.Max);
}

std::variant<TRemoteCommand, std::string> FromAlias(const TAlias& a, const std::vector<std::string>& values,
                                                    TRemoteCommand c) {
  if (values.size() != ValueCount(a.Args))
    return std::string("'") + a.Name + "' takes " + std::to_string(ValueCount(a.Args)) + " value(s)";
  c.Number = a.Number;
  c.WParam = a.WParam;
  std::optional<uint32_t> w, l;
  switch (a.Args) {
    case TArgs::None: return c;
    case TArgs::Switch: w = ParseSwitch(values[0]); break;
    case TArgs::Value: w = ParseInteger(values[0]); break;
    case TArgs::Seconds: w = ParseTenths(values[0]); break;
    case TArgs::Memory:
      l = ParseInteger(values[0]);
      if (!l) return "'" + values[0] + "' is not a memory number";
      if (auto range = OutOfRange(a, values[0], *l)) return *range;
      c.LParam = static_cast<int32_t>(*l);
      return c;
    case TArgs::Pair:
      w = ParseInteger(values[0]);
      l = ParseInteger(values[1]);
      if (!l) return "'" + values[1] + "' is not a 32-bit integer";
      if (auto range = OutOfRange(a, values[1], *l)) return *range;
      c.LParam = static_cast<int32_t>(*l);
      break;
  }
  if (!w && a.Args == TArgs::Seconds)
    return "'" + values[0] + "' is not a number of seconds from 0 to 429496729.5 for '" + a.Name + "'";
  if (!w) return "'" + values[0] + "' is not a valid value for '" + a.Name + "'";
  if (auto range = OutOfRange(a, values[0], *w)) return *range;
  c.WParam = *w;
  return c;
}

/// Reads "--pid PID" at args[i] into c.Pid and steps over it; false when
/// PID is missing or no process id.
bool ParsePid(const std::vector<std::string>& args, size_t& i, TRemoteCommand& c) {
  const auto pid = i + 1 < args.size() ? ParseInteger(args[i + 1]) : std::nullopt;
  if (!pid || *pid == 0 || *pid > uint32_t{std::numeric_limits<int32_t>::max()}) return false;
  c.Pid = *pid;
  i += 2;
  return true;
}

constexpr const char* kPidError = "--pid needs a process id";

/// "status" and what follows it: nothing, or --pid PID unless given before.
std::variant<TRemoteCommand, std::string> StatusCommand(const std::vector<std::string>& args, size_t i,
                                                        TRemoteCommand c) {
  c.Status = true;
  if (i < args.size() && args[i] == "--pid" && !c.Pid && !ParsePid(args, i, c)) return std::string(kPidError);
  if (i < args.size()) return std::string("'status' takes only --pid PID");
  return c;
}

}  // namespace

std::variant<TRemoteCommand, std::string> ParseRemoteCommand(const std::vector<std::string>& args) {
  TRemoteCommand c;
  size_t i = 0;
  if (i < args.size() && args[i] == "--pid" && !ParsePid(args, i, c)) return std::string(kPidError);
  if (i >= args.size()) return std::string("no message given");
  const std::string& first = args[i];
  if (first == "status") return StatusCommand(args, i + 1, c);
  const std::vector<std::string> values(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
  for (const TAlias& a : kAliases)
    if (first == a.Name) return FromAlias(a, values, c);
  const auto number = ParseInteger(first);
  if (!number || first.front() == '-') return "'" + first + "' is neither a message number nor a message name";
  if (values.size() > 2) return std::string("a message takes at most WPARAM and LPARAM");
  c.Number = *number;
  for (size_t k = 0; k < values.size(); ++k) {
    const auto v = ParseInteger(values[k]);
    if (!v) return "'" + values[k] + "' is not a 32-bit integer";
    if (k == 0) c.WParam = *v;
    else c.LParam = static_cast<int32_t>(*v);
  }
  return c;
}

std::string RemoteUsage() {
  std::string text =
      "Usage: zephyra-remote [--pid PID] NUMBER [WPARAM [LPARAM]]\n"
      "  or:  zephyra-remote [--pid PID] NAME [VALUE...]\n"
      "  or:  zephyra-remote status [--pid PID]\n"
      "\n"
      "Sends a message to every running generator (or to the one with process id PID).\n"
      "status prints each generator's state as key=value lines (playing, paused, sample_rate,\n"
      "buffer_count, buffer_size, dropouts, dropout_ms, device (ok, or lost while the output\n"
      "waits for its device), rms_left, peak_left, in stereo also rms_right, peak_right;\n"
      "levels in dBFS); without --pid each generator's lines follow\n"
      "a line [BUS NAME].\n"
      "Numbers are decimal or 0x hex; negative values are sent as 32-bit two's complement.\n"
      "\n"
      "Names:\n";
  // Usage and text apart by two spaces or more, so that help2man's man page keeps the table.
  for (const TAlias& a : kAliases) {
    const std::string usage = a.Usage;
    text += "  " + usage + std::string(usage.size() < 24 ? 24 - usage.size() : 2, ' ') + a.Help + " (" +
            std::to_string(a.Number) + ")\n";
  }
  return text +
         "\n"
         "Options:\n"
         "  --pid PID    only the generator with that process id\n"
         "  --help       this text\n"
         "  --version    the version and the licence\n"
         "\n"
         "Exit status: 0 every addressed generator answered, 1 none runs or one failed,\n"
         "2 a bad command line.\n";
}
