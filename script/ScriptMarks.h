#pragma once
// What a script editor shows of each line: the command word when it is one of
// the six commands, and the reason the runner would stop at the line.

#include "engine/NumberFormat.h"
#include "script/ScriptLine.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TScriptLineMarks {
  TScriptCommand Command = TScriptCommand::Invalid;
  /// Bytes of the command word at the start of the line; 0 when it is no command.
  size_t CommandBytes = 0;
  /// Why the runner would stop at this line; nothing when it would run it.
  std::optional<std::string> Problem;
  /// What makes the problem that the editor cannot show (a byte-order mark).
  std::optional<std::string> Note;
};

/// The marks of line number lineNumber on its own, by the runner's own line parser.
TScriptLineMarks MarkScriptLine(std::string_view line, int32_t lineNumber, const TNumberFormat& format);

/// The marks of a script file's bytes, line by line as the runner reads them
/// (a `repeat` with no `play` or `delay` line before it is refused), then
/// the empty line where reading ends when the file is empty or ends with a
/// line end: one entry for each line an editor shows.
std::vector<TScriptLineMarks> MarkScript(std::string_view bytes, const TNumberFormat& format);
