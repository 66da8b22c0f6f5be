#pragma once
// Cuts a client's byte stream into lines at "\n" (a "\r" before it is
// dropped). A line longer than MaxLineBytes is never kept: its bytes are
// discarded up to the next newline and the line is reported as too long, so
// a client cannot make the instrument hold more than MaxLineBytes of input.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class TLineSplitter {
public:
  static constexpr size_t MaxLineBytes = 64 * 1024;

  struct TLine {
    std::string Text;
    bool TooLong = false;  ///< the line was over MaxLineBytes; Text is empty
  };

  /// Adds received bytes; returns how many it took. It takes nothing while a
  /// whole line waits to be read, so the caller leaves the rest in its buffer.
  size_t Feed(std::string_view bytes);
  /// The next whole line, if one has arrived.
  std::optional<TLine> Next();
  /// A whole line waits to be read.
  bool HasLine() const { return FLineEnd != std::string::npos || FOverflowEnded; }

private:
  std::string FBuffer;
  size_t FLineEnd = std::string::npos;  // the newline in FBuffer that ends its first line
  bool FDiscarding = false;             // the current line is too long: its bytes are dropped
  bool FOverflowEnded = false;          // a too-long line has ended and waits to be reported
};
