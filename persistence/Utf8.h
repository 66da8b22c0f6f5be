#pragma once
// UTF-8 decoding and checking, shared by the code-page conversion and the
// settings file.

#include <string>
#include <string_view>

/// The code point of the UTF-8 sequence at pos, advancing pos past it; an
/// invalid sequence (overlong, surrogate, cut short) gives U+FFFD and
/// consumes one byte.
char32_t NextUtf8CodePoint(std::string_view s, size_t& pos);

/// True when every byte of s belongs to a valid UTF-8 sequence.
bool IsValidUtf8(std::string_view s);

/// The position of the first byte of s that belongs to no valid UTF-8
/// sequence; npos when there is none.
size_t FirstInvalidUtf8(std::string_view s);

/// s with every byte that is not part of a valid UTF-8 sequence replaced by '?'.
std::string ValidUtf8(std::string_view s);
