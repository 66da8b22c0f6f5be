#pragma once
// The product's fixed texts, kept in one place (the link addresses are in
// ProductLinks.h, set by the build).

inline constexpr const char* ProductName = "Zephyra";
inline constexpr const char* ProductVersion = "1.3";
/// Folder of the help topics, beside the program.
inline constexpr const char* HelpFolder = "help";
/// The example presets loaded at start-up, beside the program.
inline constexpr const char* ExamplesFileName = "Examples.zep";
