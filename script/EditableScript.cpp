#include "script/EditableScript.h"

#include "persistence/FileIO.h"
#include "persistence/Utf8.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string Replaced(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0;;) {
    const size_t found = text.find(from, at);
    out.append(text.substr(at, found - at));
    if (found == std::string_view::npos) return out;
    out.append(to);
    at = found + from.size();
  }
}

/// The number of the runner's line that holds the byte at position.
long LineAt(std::string_view bytes, size_t position) {
  return 1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(position), '\n');
}

/// Why the shown lines would not give back bytes; empty when they would.
std::string ReadOnlyReasonOf(std::string_view bytes) {
  if (const size_t bad = FirstInvalidUtf8(bytes); bad != std::string_view::npos) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(bytes[bad]));
    return "This file is not UTF-8 text: line " + std::to_string(LineAt(bytes, bad)) + " holds the byte " + byte +
           ", as a file in Latin-1 or another code page would. It is open read-only, since saving it from here "
           "would change such bytes, and a file name in a play line would then no longer match its file.";
  }
  if (const size_t mark = bytes.find(kCarriageReturnMark); mark != std::string_view::npos)
    return "Line " + std::to_string(LineAt(bytes, mark)) + " holds the character " +
           std::string(kCarriageReturnMark) +
           ", which this editor shows in place of a carriage return. The file is open read-only, since saving it "
           "from here would turn that character into a carriage return.";
  return {};
}

std::string_view EndBytes(TLineEnd end) {
  switch (end) {
    case TLineEnd::Lf:
      return "\n";
    case TLineEnd::CrLf:
      return "\r\n";
    case TLineEnd::None:
      break;
  }
  return {};
}

}  // namespace

TEditableScript EditableScriptOf(std::string_view bytes) {
  TEditableScript script;
  if (std::string reason = ReadOnlyReasonOf(bytes); !reason.empty())
    script.ReadOnly = TEditableScript::TReadOnly{std::move(reason), std::string(bytes)};
  for (const TScriptFileLine& line : EditorLinesOf(bytes)) {
    std::optional<TLineEnd> end;
    if (line.End != TLineEnd::None) end = line.End;
    script.Lines.push_back({Replaced(line.Text, "\r", kCarriageReturnMark), end});
  }
  if (script.Lines.front().End) script.NewLineEnd = *script.Lines.front().End;
  return script;
}

std::string LineBytesOf(std::string_view shown) { return Replaced(shown, kCarriageReturnMark, "\r"); }

std::string ScriptBytesOf(const TEditableScript& script) {
  std::string bytes;
  for (size_t i = 0; i < script.Lines.size(); ++i) {
    const TEditableLine& line = script.Lines[i];
    bytes += LineBytesOf(line.Shown);
    if (i + 1 < script.Lines.size()) bytes += EndBytes(line.End.value_or(script.NewLineEnd));
  }
  return bytes;
}

TEditableScript ReadEditableScript(const std::string& path) { return EditableScriptOf(ReadScriptFile(path)); }

void SaveEditableScript(const std::string& path, const TEditableScript& script) {
  const std::string bytes = ScriptBytesOf(script);
  ReplaceFile(path, {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}

std::string CannotShowLineReason(size_t lineNumber) {
  return "Line " + std::to_string(lineNumber) +
         " holds a character this editor cannot show as it is (a paragraph separator, for example). The file is "
         "open read-only, since saving it from here would change it.";
}
