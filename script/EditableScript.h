#pragma once
// A script file as an editor shows it, and back to the same bytes: the lines
// the runner reads, each with the end it had in the file, and every CR that
// ends no line shown as a visible mark.

#include "script/ScriptFile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// What the editor shows in place of a CR inside a line: U+21B5, which the
/// common fonts have (U+240D, the symbol for CR, is missing from most).
inline constexpr std::string_view kCarriageReturnMark = "\xE2\x86\xB5";

struct TEditableLine {
  /// The line's bytes, each CR replaced by kCarriageReturnMark.
  std::string Shown;
  /// Its end in the file; nothing for the file's last line and a line added
  /// in the editor.
  std::optional<TLineEnd> End;
};

struct TEditableScript {
  /// The runner's lines, then an empty one when the file is empty or ends
  /// with a line end. The end of the last line is never written.
  std::vector<TEditableLine> Lines;
  /// The end of a line added in the editor: the file's first.
  TLineEnd NewLineEnd = TLineEnd::Lf;
  /// Set when the shown lines cannot give back the file's bytes.
  struct TReadOnly {
    std::string Reason;
    std::string Bytes;
  };
  std::optional<TReadOnly> ReadOnly;
};

TEditableScript EditableScriptOf(std::string_view bytes);
/// The bytes of the lines: each line's own bytes and end, NewLineEnd for an
/// added line, nothing after the last.
std::string ScriptBytesOf(const TEditableScript& script);
/// The bytes of a shown line.
std::string LineBytesOf(std::string_view shown);

/// Throws as ReadScriptFile.
TEditableScript ReadEditableScript(const std::string& path);
/// Writes ScriptBytesOf(script), replacing the file whole or not at all.
/// Throws TFileError ("Cannot create file") on failure.
void SaveEditableScript(const std::string& path, const TEditableScript& script);

/// The read-only reason for a file whose line lineNumber the editor could not
/// show as it is.
std::string CannotShowLineReason(size_t lineNumber);
