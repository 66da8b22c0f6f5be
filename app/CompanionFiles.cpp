#include "app/CompanionFiles.h"

std::vector<std::filesystem::path> CompanionFolders(const std::filesystem::path& programFolder) {
  return {programFolder, (programFolder / ".." / "share" / "zephyra").lexically_normal()};
}

std::filesystem::path FindCompanion(const std::filesystem::path& programFolder, const std::string& name) {
  for (const auto& folder : CompanionFolders(programFolder)) {
    std::error_code ignored;
    if (std::filesystem::exists(folder / name, ignored)) return folder / name;
  }
  return programFolder / name;
}
