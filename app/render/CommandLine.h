#pragma once
// Pieces of zephyra-render's command line shared by its commands.

#include <cstdint>
#include <optional>
#include <ostream>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

/// The program name that starts every message.
inline constexpr const char* RenderProgramName = "zephyra-render";

/// The whole text as a decimal integer, or nothing.
std::optional<int64_t> WholeNumber(const std::string& text);

/// The value of the option at args[i] (args[i + 1]), advancing i; false with
/// error set when there is none.
bool OptionValue(const std::vector<std::string>& args, size_t& i, std::string& value, std::string& error);

/// An option-shaped argument ("--name" or "-x"); "-" and negative numbers are not.
bool LooksLikeOption(const std::string& arg);

/// "unknown option '-r'; the options are --rate, ... (see --help)".
std::string UnknownOption(const std::string& arg, const std::string& known);

/// One line on err: "zephyra-render: <text>".
void Report(std::ostream& err, const std::string& text);

/// After --stats: the levels of the written file, one line per channel in
/// file order, each with the samples the render cut at full scale in that
/// channel (left, right), on out; false (reported on err) when it cannot be read.
bool PrintStats(const std::string& fileName, const std::array<int64_t, 2>& clipped, std::ostream& out,
                std::ostream& err);
