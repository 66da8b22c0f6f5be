#pragma once
// Windows-1252, the 8-bit code page of the texts in preset files.

#include <string>
#include <string_view>

/// UTF-8 text as Windows-1252 bytes; characters the code page lacks, and
/// bytes that are not valid UTF-8, become '?'.
std::string Utf8ToCp1252(std::string_view utf8);

/// Windows-1252 bytes as UTF-8 text. The five unassigned bytes (0x81, 0x8D,
/// 0x8F, 0x90, 0x9D) map to the control characters of the same number, so
/// every byte survives a round trip.
std::string Cp1252ToUtf8(std::string_view cp1252);
