#include "persistence/ShortText.h"

#include "persistence/Cp1252.h"

#include <algorithm>

std::string ReadShortText(std::span<const uint8_t> field) {
  size_t capacity = field.size() - 1;
  size_t length = std::min<size_t>(field[0], capacity);
  return Cp1252ToUtf8({reinterpret_cast<const char*>(field.data() + 1), length});
}

void WriteShortText(std::span<uint8_t> field, std::string_view utf8) {
  std::string bytes = Utf8ToCp1252(utf8);
  size_t length = std::min(bytes.size(), std::min<size_t>(field.size() - 1, 255));
  field[0] = static_cast<uint8_t>(length);
  std::copy_n(bytes.begin(), length, field.begin() + 1);
}
