#pragma once
// The "short text" field of preset records: a length byte followed by a fixed
// number of Windows-1252 character bytes.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

/// The text of a field (its length byte, then its capacity of characters), as
/// UTF-8; a length beyond the capacity is read as the capacity.
std::string ReadShortText(std::span<const uint8_t> field);

/// Stores UTF-8 text in a field, converted to Windows-1252 and cut to the
/// field's capacity; the bytes after the text keep what they held.
void WriteShortText(std::span<uint8_t> field, std::string_view utf8);
