#include "script/ScriptFile.h"

#include "persistence/FileError.h"
#include "persistence/FileIO.h"

#include <cerrno>
#include <ext/stdio_filebuf.h>
#include <sstream>

std::optional<TScriptFileLine> ReadScriptLine(std::string_view text, size_t& position) {
  if (position >= text.size()) return std::nullopt;
  const std::string_view rest = text.substr(position);
  const size_t end = rest.find('\n');
  if (end == std::string_view::npos) {
    position += rest.size();
    return TScriptFileLine{rest, TLineEnd::None};
  }
  position += end + 1;
  const std::string_view line = rest.substr(0, end);
  if (!line.empty() && line.back() == '\r') return TScriptFileLine{line.substr(0, end - 1), TLineEnd::CrLf};
  return TScriptFileLine{line, TLineEnd::Lf};
}

std::vector<TScriptFileLine> EditorLinesOf(std::string_view text) {
  std::vector<TScriptFileLine> lines;
  size_t position = 0;
  while (const std::optional<TScriptFileLine> line = ReadScriptLine(text, position)) lines.push_back(*line);
  if (lines.empty() || lines.back().End != TLineEnd::None) lines.emplace_back();
  return lines;
}

TScriptText::TScriptText(std::string text)
    : FBuffer(std::make_unique<std::stringbuf>(std::move(text), std::ios::in)),
      FStream(std::make_unique<std::istream>(FBuffer.get())) {}

TScriptText::TScriptText(int fd)
    : FBuffer(std::make_unique<__gnu_cxx::stdio_filebuf<char>>(fd, std::ios::in)),
      FStream(std::make_unique<std::istream>(FBuffer.get())) {}

TScriptText::~TScriptText() = default;
TScriptText::TScriptText(TScriptText&&) noexcept = default;

std::optional<std::string_view> TScriptText::NextLine() {
  if (!std::getline(*FStream, FLine)) return std::nullopt;
  // Only a line that ended with LF can end with CR LF; a CR on its own ends nothing.
  if (!FStream->eof() && !FLine.empty() && FLine.back() == '\r') FLine.pop_back();
  return FLine;
}

void TScriptText::Rewind() {
  FStream->clear();
  FStream->seekg(0);
}

std::string ReadScriptFile(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadRegularFile(path, kMaxScriptFileBytes + 1);
  if (bytes.size() > kMaxScriptFileBytes) throw CannotOpenFile(path, EFBIG);
  return std::string(bytes.begin(), bytes.end());
}

TScriptText LoadScriptFile(const std::string& path) { return TScriptText(OpenRegularFile(path)); }
