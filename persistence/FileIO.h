#pragma once
// Whole-file reads and safe whole-file replacement.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

/// Reads at most maxBytes from the start of a regular file; throws TFileError
/// ("Cannot open file") when it is missing, unreadable or not a regular file.
std::vector<uint8_t> ReadRegularFile(const std::string& path, size_t maxBytes);

/// Replaces the file's contents with bytes: a temporary file in the same folder
/// is written, flushed and renamed over it, so a failure leaves the old file as
/// it was. A path naming a device (such as /dev/null) is written in place.
/// Throws TFileError ("Cannot create file") on any failure.
void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes);
