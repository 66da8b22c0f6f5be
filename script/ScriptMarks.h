#pragma once
// What a script editor shows of one line: the command word when it is one of
// the six commands, and the reason the runner would stop at the line.

#include "engine/NumberFormat.h"
#include "script/ScriptLine.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct TScriptLineMarks {
  TScriptCommand Command = TScriptCommand::Invalid;
  /// Bytes of the command word at the start of the line; 0 when it is no command.
  size_t CommandBytes = 0;
  /// Why the runner would stop at this line; nothing when it would run it.
  std::optional<std::string> Problem;
};

/// The marks of line number lineNumber, by the runner's own line parser.
TScriptLineMarks MarkScriptLine(std::string_view line, int32_t lineNumber, const TNumberFormat& format);
