#include "instrument/LineSplitter.h"

size_t TLineSplitter::Feed(std::string_view bytes) {
  size_t taken = 0;
  while (taken < bytes.size() && !HasLine()) {
    const std::string_view rest = bytes.substr(taken);
    const size_t newline = rest.find('\n');
    const size_t part = newline == std::string_view::npos ? rest.size() : newline;
    if (FDiscarding) {
      taken += part;
    } else if (FBuffer.size() + part > MaxLineBytes) {
      FBuffer.clear();
      FDiscarding = true;
      taken += part;
    } else {
      FBuffer.append(rest.substr(0, part));
      taken += part;
    }
    if (newline == std::string_view::npos) break;
    ++taken;  // the newline
    if (FDiscarding) {
      FDiscarding = false;
      FOverflowEnded = true;
    } else {
      FLineEnd = FBuffer.size();
    }
  }
  return taken;
}

std::optional<TLineSplitter::TLine> TLineSplitter::Next() {
  if (FOverflowEnded) {
    FOverflowEnded = false;
    return TLine{{}, true};
  }
  if (FLineEnd == std::string::npos) return std::nullopt;
  TLine line{std::move(FBuffer), false};
  FBuffer.clear();
  FLineEnd = std::string::npos;
  if (!line.Text.empty() && line.Text.back() == '\r') line.Text.pop_back();
  return line;
}
