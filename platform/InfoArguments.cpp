#include "platform/InfoArguments.h"

std::optional<int> AnswerInfoArgument(int argc, const char* const* argv, std::string_view usage,
                                      std::string_view version, std::ostream& out) {
  if (argc < 2) return std::nullopt;
  const std::string_view first = argv[1];
  if (first == "--help")
    out << usage;
  else if (first == "--version")
    out << version;
  else
    return std::nullopt;
  out.flush();
  return out ? 0 : 1;
}
