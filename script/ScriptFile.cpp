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

TScriptText LoadScriptFile(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadRegularFile(path, kMaxScriptFileBytes + 1);
  if (bytes.size() > kMaxScriptFileBytes) throw CannotOpenFile(path, EFBIG);
  return TScriptText(std::string(bytes.begin(), bytes.end()));
}
