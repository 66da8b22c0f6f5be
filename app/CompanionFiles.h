#pragma once
// The files that come with the program (the example presets, the help
// folder): beside the executable in the build tree, under
// <prefix>/share/zephyra when installed with the executable in <prefix>/bin.

#include <filesystem>
#include <string>
#include <vector>

/// The folders searched for companion files, in order.
std::vector<std::filesystem::path> CompanionFolders(const std::filesystem::path& programFolder);

/// The first companion of that name (file or folder) that exists; when none
/// does, the place beside the program, so that a message names it.
std::filesystem::path FindCompanion(const std::filesystem::path& programFolder, const std::string& name);
