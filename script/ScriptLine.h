#pragma once
// One line of a script file: its fields, its command and the values of its
// arguments, as the runner reads them and as the editor checks them.

#include "engine/NumberFormat.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

/// A line holds at most this many fields (24 spaces).
inline constexpr int kMaxScriptFields = 25;

enum class TScriptCommand { Play, Pause, Delay, Repeat, Rem, End, Invalid };

struct TScriptLine {
  /// Field 1, lower-cased.
  std::string Command;
  /// Field 2, as written.
  std::string Argument;
  /// Everything after the line's second space, with one trailing space removed.
  std::string Remainder;
  /// Number of fields: spaces + 1.
  int FieldCount = 1;
};

/// Cuts line at every space: two spaces in a row give an empty field, and a
/// leading space an empty command. Tabs are ordinary characters.
TScriptLine SplitScriptLine(std::string_view line);

/// The command of a lower-cased command word.
TScriptCommand CommandOf(std::string_view command);

/// The word lower-cased by the user's locale (LC_CTYPE), code point by code
/// point; bytes that are not UTF-8 stay as they are.
std::string LowerCaseWord(std::string_view word);

/// "Invalid command in line <n>"
std::string InvalidCommandMessage(int32_t lineNumber);
/// The message for a line of more than kMaxScriptFields fields.
std::string TooManyFieldsMessage(int32_t lineNumber);
/// The message for a `repeat` reached before any line waited.
std::string RepeatWithoutWaitMessage(int32_t lineNumber);

/// The memory number of a `play` line. Throws EConvertError when the argument
/// is no integer and TScriptError when it is outside 1 to 4.
int32_t PlayMemoryOf(const TScriptLine& line, int32_t lineNumber);

/// The seconds of a `delay` line, read with the user's decimal separator.
/// Throws EConvertError when the argument is not a number (an empty one too).
long double DelaySecondsOf(const TScriptLine& line, const TNumberFormat& format);

/// A line the runner stops at (other than by a conversion error).
class TScriptError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

/// Why the runner would stop at this line, or nothing when it runs it.
/// Checks the field count, the command word and the arguments of `play` and
/// `delay`; the preset file of a `play` line is not looked at.
std::optional<std::string> ScriptLineProblem(std::string_view text, int32_t lineNumber,
                                             const TNumberFormat& format);
