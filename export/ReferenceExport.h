#pragma once
// The reference noise (engine/ReferenceNoise.h) as a WAV file.

#include "export/WavHeader.h"

#include <cstdint>
#include <string>

/// Writes the first `frames` frames of the reference noise at the format's
/// rate and width to path, the same sample on every channel, as every
/// export writes: into a replacement that takes the file's place only when
/// complete. Throws std::length_error (WavTooLongMessage) when the frames do
/// not fit a WAV file and TFileError when the file cannot be created; false
/// when a write or the close failed, and then an old file is left as it was.
bool WriteReferenceWav(const std::string& path, const TWavFormat& format, int64_t frames);
