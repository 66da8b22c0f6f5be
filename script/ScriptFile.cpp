#include "script/ScriptFile.h"

#include "persistence/FileError.h"
#include "persistence/FileIO.h"

#include <cerrno>

std::optional<std::string_view> TScriptText::NextLine() {
  if (FPosition >= FText.size()) return std::nullopt;
  const std::string_view rest = std::string_view(FText).substr(FPosition);
  const size_t end = rest.find('\n');
  std::string_view line = rest.substr(0, end);
  FPosition += end == std::string_view::npos ? rest.size() : end + 1;
  if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

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

}  // namespace

std::string ReadScriptFile(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadRegularFile(path, kMaxScriptFileBytes + 1);
  if (bytes.size() > kMaxScriptFileBytes) throw CannotOpenFile(path, EFBIG);
  return std::string(bytes.begin(), bytes.end());
}

TScriptText LoadScriptFile(const std::string& path) { return TScriptText(ReadScriptFile(path)); }

TEditableScript ReadEditableScript(const std::string& path) {
  const std::string bytes = ReadScriptFile(path);
  const size_t lf = bytes.find('\n');
  const bool crLf = lf != std::string::npos && lf > 0 && bytes[lf - 1] == '\r';
  return {crLf ? Replaced(bytes, "\r\n", "\n") : bytes, crLf};
}

void SaveEditableScript(const std::string& path, const TEditableScript& script) {
  const std::string bytes = script.CrLf ? Replaced(script.Text, "\n", "\r\n") : script.Text;
  ReplaceFile(path, {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}
