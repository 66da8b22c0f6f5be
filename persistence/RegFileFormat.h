#pragma once
// The REGEDIT4 text form of the settings key:
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\Software\Vellacor\Zephyra]
//   "Name"=dword:0000002a
//   "Name"="text with \\ and \" escaped"

#include "platform/SettingsStore.h"

#include <optional>
#include <string>
#include <string_view>

inline constexpr char kRegKeyPath[] = "HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra";

/// The values of the key's section, or nothing when the text has no such
/// section. Lines that are not well-formed values are skipped; a later line
/// for the same name wins.
std::optional<TSettingsValues> ParseRegFile(std::string_view text);

/// The whole file text for these values. Control characters, which the
/// format cannot carry, are written as blanks.
std::string FormatRegFile(const TSettingsValues& values);
