#pragma once
// Every program's answer to a first argument of exactly "--help" or
// "--version": the text on standard output and status 0, checked before the
// program creates anything, so that it needs no display. Anything else in
// the first argument (also "--help=x" or "-h") is left to the program.

#include <optional>
#include <ostream>
#include <string_view>

/// The exit status when the first argument asked for the usage or the
/// version and the text has been written to out; nothing otherwise.
std::optional<int> AnswerInfoArgument(int argc, const char* const* argv, std::string_view usage,
                                      std::string_view version, std::ostream& out);
