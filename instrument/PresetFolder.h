#pragma once
// The one folder MMEMory:LOAD:STATe may read preset files from. A name is
// taken only when it stays inside the folder: no absolute path, no "..", and
// no symbolic link that leads out of it.

#include <filesystem>
#include <string>

struct TPresetFileLookup {
  std::filesystem::path File;  ///< the file to read; empty when refused
  int Error = 0;               ///< 0, -256 (not found) or -257 (a name that leaves the folder)
  std::string Detail;
};

/// Resolves name in folder (an empty folder refuses every name).
TPresetFileLookup ResolvePresetFile(const std::filesystem::path& folder, const std::string& name);
