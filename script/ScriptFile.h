#pragma once
// The text of a script file, read line by line from its first byte.

#include <cstddef>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// The editor refuses scripts larger than this when it opens them; the runner
/// reads line by line and takes scripts of any size.
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

/// The lines of a script as the runner reads them, one at a time: only the
/// current line is held, so a script's size costs no memory.
class TScriptText {
public:
  explicit TScriptText(std::string text);
  /// Reads from the open descriptor of a regular file, which it closes.
  explicit TScriptText(int fd);
  ~TScriptText();
  TScriptText(TScriptText&&) noexcept;

  /// The next line without its LF or CR LF; nothing at the end of the text.
  /// A last line without LF is still a line. Valid until the next call.
  std::optional<std::string_view> NextLine();
  /// The next line read is the first one again.
  void Rewind();

private:
  std::unique_ptr<std::streambuf> FBuffer;
  std::unique_ptr<std::istream> FStream;
  std::string FLine;
};

/// The bytes of a script file; throws TFileError ("Cannot open file") when
/// it is missing, unreadable, not a regular file or too large.
std::string ReadScriptFile(const std::string& path);

/// Opens a script to run it; throws TFileError ("Cannot open file") when it
/// is missing, unreadable or not a regular file.
TScriptText LoadScriptFile(const std::string& path);
