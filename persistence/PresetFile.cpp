#include "persistence/PresetFile.h"

#include "persistence/FileIO.h"
#include "persistence/ShortText.h"

#include <algorithm>
#include <cstring>

namespace {

bool HeaderMatches(std::span<const uint8_t> image) {
  constexpr size_t length = sizeof(kPresetFileHeader) - 1;
  return image.size() >= kPresetHeaderSize && image[0] == length &&
         std::memcmp(image.data() + 1, kPresetFileHeader, length) == 0;
}

}  // namespace

bool ReadPresetImage(std::span<const uint8_t> image, TPresetBank& bank) {
  if (!HeaderMatches(image)) return false;
  auto records = image.subspan(kPresetHeaderSize);
  for (MemoryPreset& preset : bank) {
    size_t count = std::min(records.size(), MemoryPreset::Size);
    std::copy_n(records.begin(), count, preset.Bytes().begin());
    records = records.subspan(count);
  }
  return true;
}

std::vector<uint8_t> PresetImage(const TPresetBank& bank) {
  std::vector<uint8_t> image(kPresetFileSize, 0);
  WriteShortText(std::span(image).first(kPresetHeaderSize), kPresetFileHeader);
  auto out = image.begin() + kPresetHeaderSize;
  for (const MemoryPreset& preset : bank) out = std::copy(preset.Bytes().begin(), preset.Bytes().end(), out);
  return image;
}

bool LoadPresetFile(const std::string& path, TPresetBank& bank) {
  return ReadPresetImage(ReadRegularFile(path, kPresetFileSize), bank);
}

void SavePresetFile(const std::string& path, const TPresetBank& bank) {
  ReplaceFile(path, PresetImage(bank));
}
