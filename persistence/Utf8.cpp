#include "persistence/Utf8.h"

namespace {
constexpr char32_t kReplacement = 0xFFFD;

/// Whether the sequence at pos decodes, and how many bytes it takes.
bool DecodesAt(std::string_view s, size_t pos, size_t& length) {
  size_t next = pos;
  char32_t c = NextUtf8CodePoint(s, next);
  length = next - pos;
  // U+FFFD itself is a valid three-byte sequence.
  return c != kReplacement || length == 3;
}
}  // namespace

char32_t NextUtf8CodePoint(std::string_view s, size_t& pos) {
  auto lead = static_cast<unsigned char>(s[pos++]);
  if (lead < 0x80) return lead;
  int extra = lead < 0xC2 ? -1 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF5 ? 3 : -1;
  if (extra < 0 || pos + extra > s.size()) return kReplacement;
  char32_t c = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    auto cont = static_cast<unsigned char>(s[pos + i]);
    if ((cont & 0xC0) != 0x80) return kReplacement;
    c = (c << 6) | (cont & 0x3F);
  }
  constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
  pos += extra;
  return c;
}

bool IsValidUtf8(std::string_view s) { return FirstInvalidUtf8(s) == std::string_view::npos; }

size_t FirstInvalidUtf8(std::string_view s) {
  for (size_t pos = 0, length = 0; pos < s.size(); pos += length)
    if (!DecodesAt(s, pos, length)) return pos;
  return std::string_view::npos;
}

std::string ValidUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t pos = 0, length = 0; pos < s.size(); pos += length) {
    if (DecodesAt(s, pos, length))
      out.append(s.substr(pos, length));
    else
      out += '?';
  }
  return out;
}
