#pragma once
// The product's fixed texts, kept in one place (the link addresses are in
// ProductLinks.h, set by the build).

#include <string>

inline constexpr const char* ProductName = "Zephyra";
inline constexpr const char* ProductVersion = "1.3";
/// Folder of the help topics, beside the program.
inline constexpr const char* HelpFolder = "help";
/// The example presets loaded at start-up, beside the program.
inline constexpr const char* ExamplesFileName = "Examples.zep";
/// The script editor's executable, beside the program.
inline constexpr const char* ScriptEditorProgram = "zephyra-script-editor";

/// What each installed program prints for --version.
inline std::string VersionText(const std::string& program) {
  return program + " (" + ProductName + ") " + ProductVersion +
         "\nCopyright (c) The Zephyra developers.\n"
         "Released under the MIT licence: you may use, copy, change and pass on the software\n"
         "as long as the copyright and licence notice come with it. There is NO WARRANTY.\n";
}
