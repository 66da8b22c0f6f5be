#include "app/render/CommandLine.h"

#include <algorithm>
#include <array>

#include "analysis/WavLevels.h"

#include <charconv>

std::optional<int64_t> WholeNumber(const std::string& text) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

bool OptionValue(const std::vector<std::string>& args, size_t& i, std::string& value, std::string& error) {
  if (i + 1 >= args.size()) {
    error = "option " + args[i] + " needs a value";
    return false;
  }
  value = args[++i];
  return true;
}

bool LooksLikeOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-' && !WholeNumber(arg) && !(arg[1] >= '0' && arg[1] <= '9');
}

std::string UnknownOption(const std::string& arg, const std::string& known) {
  return "unknown option '" + arg + "'; the options are " + known + " (see --help)";
}

void Report(std::ostream& err, const std::string& text) { err << RenderProgramName << ": " << text << '\n'; }

bool PrintStats(const std::string& fileName, const std::array<int64_t, 2>& clipped, std::ostream& out,
                std::ostream& err) {
  std::string error;
  const auto levels = ReadWavLevels(fileName, error);
  if (!levels) {
    Report(err, "--stats: " + error);
    return false;
  }
  for (size_t c = 0; c < levels->size(); ++c)
    out << StatsLine((*levels)[c]) << " clipped=" << clipped[std::min<size_t>(c, 1)] << '\n';
  return true;
}
