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

TPresetImageCheck CheckPresetImage(std::span<const uint8_t> image) {
  TPresetImageCheck check;
  check.Bytes = image.size();
  check.IsPresetFile = HeaderMatches(image);
  if (check.IsPresetFile) {
    const size_t records = (image.size() - kPresetHeaderSize) / MemoryPreset::Size;
    check.WholeMemories = static_cast<int>(std::min<size_t>(records, 4));
  }
  return check;
}

std::string PresetFileProblem(const std::string& fileName, const TPresetImageCheck& check) {
  const std::string name = "'" + fileName + "'";
  if (check.Bytes == 0) return name + " is not a preset file: it is empty";
  if (!check.IsPresetFile)
    return name + " is not a preset file: it does not begin with \"" + kPresetFileHeader + "\"";
  if (check.Complete()) return {};
  return name + " is truncated: it holds " + std::to_string(check.WholeMemories) + " of the 4 memories whole (" +
         std::to_string(check.Bytes) + " of " + std::to_string(kPresetFileSize) + " bytes)";
}

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

TPresetImageCheck LoadPresetFile(const std::string& path, TPresetBank& bank) {
  const std::vector<uint8_t> image = ReadRegularFile(path, kPresetFileSize);
  ReadPresetImage(image, bank);
  return CheckPresetImage(image);
}

void SavePresetFile(const std::string& path, const TPresetBank& bank) {
  ReplaceFile(path, PresetImage(bank));
}
