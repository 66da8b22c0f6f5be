#pragma once
// Preset files (".zep"): a 21-byte header and the four memory preset records.

#include "persistence/MemoryPreset.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

/// The four memory presets of a window; preset n is element n - 1.
using TPresetBank = std::array<MemoryPreset, 4>;

inline constexpr size_t kPresetHeaderSize = 21;
inline constexpr size_t kPresetFileSize = kPresetHeaderSize + 4 * MemoryPreset::Size;  // 16581
inline constexpr char kPresetFileHeader[] = "ZEP Preset File V1";

/// What a preset file image holds: the one check behind every reader's message.
struct TPresetImageCheck {
  /// The header matches: the image is a preset file.
  bool IsPresetFile = false;
  /// Memories the image holds whole (0 to 4).
  int WholeMemories = 0;
  size_t Bytes = 0;
  explicit operator bool() const { return IsPresetFile; }
  bool Complete() const { return IsPresetFile && WholeMemories == 4; }
};

TPresetImageCheck CheckPresetImage(std::span<const uint8_t> image);

/// The one-line message about a file that is not a complete preset file,
/// with its name and why ("'text.zep' is not a preset file: ..."); empty
/// when the file is complete.
std::string PresetFileProblem(const std::string& fileName, const TPresetImageCheck& check);

/// Copies a file image into the bank when its header matches (case-sensitive);
/// a short image fills the records only as far as it reaches and the rest keep
/// their bytes; bytes beyond the four records are ignored. Returns whether the
/// header matched; on a mismatch the bank is untouched.
bool ReadPresetImage(std::span<const uint8_t> image, TPresetBank& bank);

/// The complete 16581-byte image of the bank.
std::vector<uint8_t> PresetImage(const TPresetBank& bank);

/// Loads a preset file into the bank as ReadPresetImage does; reads only a
/// regular file. Returns what the file held (false: not a preset file, the
/// bank untouched). Throws TFileError ("Cannot open file") when it cannot be read.
TPresetImageCheck LoadPresetFile(const std::string& path, TPresetBank& bank);

/// Writes the bank to the file, replacing it whole or not at all. Throws
/// TFileError ("Cannot create file") on failure.
void SavePresetFile(const std::string& path, const TPresetBank& bank);
