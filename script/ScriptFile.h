#pragma once
// The text of a script file, read line by line from its first byte.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

/// Scripts larger than this are refused when they are opened.
inline constexpr size_t kMaxScriptFileBytes = size_t{16} << 20;

class TScriptText {
public:
  explicit TScriptText(std::string text) : FText(std::move(text)) {}

  /// The next line without its LF or CR LF; nothing at the end of the text.
  /// A last line without LF is still a line.
  std::optional<std::string_view> NextLine();
  /// The next line read is the first one again.
  void Rewind() { FPosition = 0; }

private:
  std::string FText;
  size_t FPosition = 0;
};

/// The bytes of a script file; throws TFileError ("Cannot open file") when
/// it is missing, unreadable, not a regular file or too large.
std::string ReadScriptFile(const std::string& path);

/// Reads a script to run it; throws as ReadScriptFile.
TScriptText LoadScriptFile(const std::string& path);

/// A script as an editor holds it: lines joined by LF, and whether the file
/// ended its lines with CR LF (the first line end decides).
struct TEditableScript {
  std::string Text;
  bool CrLf = false;
};

/// Throws as ReadScriptFile.
TEditableScript ReadEditableScript(const std::string& path);
/// Writes the script with its line ends, replacing the file whole or not at
/// all. Throws TFileError ("Cannot create file") on failure.
void SaveEditableScript(const std::string& path, const TEditableScript& script);
