#include "instrument/ScpiParser.h"

#include <cctype>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsMnemonicChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }
/// Printable ASCII: anything else in a line is junk.
bool IsPrintable(char c) { return (c >= 0x20 && c < 0x7f) || c == '\t'; }

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

/// Reads the parts of a line one after the other.
class TMessageReader {
public:
  explicit TMessageReader(std::string_view line) : FLine(line) {}

  bool AtEnd() const { return FPos >= FLine.size(); }

  /// The next part up to ";" (or the line's end); false with an error unit when unreadable.
  TScpiUnit ReadUnit() {
    TScpiUnit unit;
    SkipBlanks();
    if (!ReadHeader(unit)) return unit;
    if (Peek() == '?') {
      unit.Command.Query = true;
      ++FPos;
    }
    if (!AtEnd() && Peek() != ';' && !IsBlank(Peek())) return Fail(unit, "bad character in header");
    SkipBlanks();
    if (!AtEnd() && Peek() != ';' && !ReadParameters(unit)) return unit;
    if (!AtEnd()) ++FPos;  // the ";"
    return unit;
  }

  /// Steps over an empty part (";;" or a trailing ";"); true when there was one.
  bool SkipEmptyUnit() {
    size_t p = FPos;
    while (p < FLine.size() && IsBlank(FLine[p])) ++p;
    if (p == FLine.size()) {
      FPos = p;
      return true;
    }
    if (FLine[p] != ';') return false;
    FPos = p + 1;
    return true;
  }

private:
  char Peek() const { return FPos < FLine.size() ? FLine[FPos] : '\0'; }
  void SkipBlanks() {
    while (FPos < FLine.size() && IsBlank(FLine[FPos])) ++FPos;
  }
  TScpiUnit& Fail(TScpiUnit& unit, std::string detail, int code = -102) {
    unit.Error = code;
    unit.Detail = std::move(detail);
    FPos = FLine.size();
    return unit;
  }

  bool ReadMnemonic(std::string& out) {
    const size_t start = FPos;
    if (!IsAlpha(Peek())) return false;
    while (FPos < FLine.size() && IsMnemonicChar(FLine[FPos])) ++FPos;
    out = Upper(FLine.substr(start, FPos - start));
    return true;
  }

  bool ReadHeader(TScpiUnit& unit) {
    TScpiCommand& c = unit.Command;
    if (Peek() == ':' && FPos + 1 < FLine.size() && FLine[FPos + 1] == '*') ++FPos;  // ";:*RST" reads as ";*RST"
    if (Peek() == '*') {
      ++FPos;
      std::string name;
      if (!ReadMnemonic(name)) return Fail(unit, "common command name expected"), false;
      c.Common = true;
      c.Nodes.push_back("*" + name);
      return true;
    }
    if (Peek() == ':') {
      c.Rooted = true;
      ++FPos;
    }
    for (;;) {
      std::string node;
      if (!ReadMnemonic(node)) return Fail(unit, "header expected"), false;
      c.Nodes.push_back(std::move(node));
      if (Peek() != ':') return true;
      ++FPos;
    }
  }

  bool ReadString(TScpiUnit& unit, std::string& out) {
    const char quote = FLine[FPos++];
    for (;;) {
      if (AtEnd()) return Fail(unit, "string not closed"), false;
      const char ch = FLine[FPos++];
      if (ch == quote) {
        if (Peek() != quote) return true;
        ++FPos;
      }
      out += ch;
    }
  }

  bool ReadParameters(TScpiUnit& unit) {
    for (;;) {
      SkipBlanks();
      TScpiParameter p;
      if (Peek() == '"' || Peek() == '\'') {
        p.Quoted = true;
        if (!ReadString(unit, p.Text)) return false;
        SkipBlanks();
      } else {
        const size_t start = FPos;
        while (!AtEnd() && Peek() != ',' && Peek() != ';' && Peek() != '"' && Peek() != '\'') ++FPos;
        p.Text = std::string(Trim(FLine.substr(start, FPos - start)));
        if (p.Text.empty()) return Fail(unit, "parameter expected"), false;
      }
      unit.Command.Parameters.push_back(std::move(p));
      if (AtEnd() || Peek() == ';') return true;
      if (Peek() != ',') return Fail(unit, "',' or ';' expected"), false;
      ++FPos;
    }
  }

  std::string_view FLine;
  size_t FPos = 0;
};

}  // namespace

std::vector<TScpiUnit> ParseProgramMessage(std::string_view line) {
  std::vector<TScpiUnit> units;
  for (char c : line)
    if (!IsPrintable(c)) {
      TScpiUnit junk;
      junk.Error = -102;
      junk.Detail = "invalid character in message";
      units.push_back(std::move(junk));
      return units;
    }
  TMessageReader reader(line);
  while (!reader.AtEnd()) {
    if (reader.SkipEmptyUnit()) continue;
    units.push_back(reader.ReadUnit());
    if (units.back().Error) break;
  }
  return units;
}

std::vector<std::string> ResolveHeader(const TScpiCommand& command, std::vector<std::string>& path) {
  if (command.Common) return command.Nodes;  // leaves the path as it is
  std::vector<std::string> nodes = command.Rooted ? std::vector<std::string>{} : path;
  nodes.insert(nodes.end(), command.Nodes.begin(), command.Nodes.end());
  path.assign(nodes.begin(), nodes.end() - 1);
  return nodes;
}
