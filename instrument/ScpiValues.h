#pragma once
// Parameter values: numbers with units and multipliers ("1 kHz", "-20 DB",
// "50 ms"), MINimum / MAXimum / DEFault, booleans and enumerations written
// in a short or long form; and the numbers of the answers.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// A keyword as SCPI writes it: the capitals are the short form
/// ("FREQuency" matches "FREQ" and "FREQUENCY", in any case).
bool MatchesKeyword(std::string_view keyword, std::string_view text);

/// The values a numeric setting accepts.
struct TNumericRange {
  long double Min = 0;
  long double Max = 0;
  long double Default = 0;
  /// Min itself is refused (a period must be above 0).
  bool MinExclusive = false;
  /// Units the number may carry, in capitals ("HZ"); the first is the base unit.
  std::vector<std::string> Units;
};

/// What a numeric parameter means; Error is 0 or the error code to report.
struct TNumericValue {
  long double Value = 0;
  int Error = 0;
  std::string Detail;
};

/// Reads "1.5", "1 kHz", "-20 DB", "MIN", "MAX", "DEF" against range; a value
/// outside the range is -222 and a word or unit it does not know -224 / -131.
TNumericValue ReadNumeric(std::string_view text, const TNumericRange& range);

/// ON / OFF / 1 / 0 (any number: not 0 after rounding); nothing when it is none of these.
std::optional<bool> ReadBoolean(std::string_view text);

/// The index of the keyword in choices that text matches; nothing when none.
std::optional<size_t> ReadChoice(std::string_view text, const std::vector<std::string>& choices);

/// An answer's number: the shortest text that reads back as the same double ("1000", "-20.5", "1e-05").
std::string NumberText(long double value);

/// The short form of a keyword ("PINK" of "PINK", "WHIT" of "WHITe").
std::string ShortForm(std::string_view keyword);

/// A string parameter's answer: in double quotes, a quote inside doubled.
std::string QuotedText(std::string_view text);
