#pragma once
// The text of a script file, read line by line from its first byte.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// Scripts larger than this are refused when they are opened.
inline constexpr size_t kMaxScriptFileBytes = size_t{16} << 20;

/// How a line of a script file ends. A CR without LF ends no line.
enum class TLineEnd { None, Lf, CrLf };

/// One line as read: its text and the end that followed it.
struct TScriptFileLine {
  std::string_view Text;
  TLineEnd End = TLineEnd::None;
};

/// The line of text that starts at position, advancing position past its
/// end; nothing at the end of the text.
std::optional<TScriptFileLine> ReadScriptLine(std::string_view text, size_t& position);

/// The lines an editor shows of text: the lines the runner reads, then an
/// empty one (where reading ends) when text is empty or ends with a line end.
std::vector<TScriptFileLine> EditorLinesOf(std::string_view text);

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
