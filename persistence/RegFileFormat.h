#pragma once
// The REGEDIT4 text form of the settings key:
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\Software\Vellacor\Zephyra]
//   "Name"=dword:0000002a
//   "Name"="text with \\ and \" escaped"
//
// Files are often edited by hand, so value lines are read leniently (blanks
// around '=' and at the ends, "DWORD:" in any case, 1 to 8 hex digits), and a
// rewrite touches only the lines of the values it sets: other sections,
// comments, value kinds the store does not use and values it does not set
// stay byte for byte.

#include "platform/SettingsStore.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr char kRegKeyPath[] = "HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra";

/// A settings file as its lines.
class TRegDocument {
public:
  /// An empty file.
  TRegDocument() = default;
  /// Every line of text, kept as it is.
  explicit TRegDocument(std::string_view text);

  /// The values of the key's sections, a later line of a name winning over an
  /// earlier one; nothing when the text has no such section.
  std::optional<TSettingsValues> Values() const;
  /// Sets values: the last line of each name is rewritten in the store's own
  /// form and its earlier lines removed; a new name is added at the end of the
  /// last key section, which is added first when there is none.
  void Set(const TSettingsValues& values);
  /// The whole file text.
  std::string Text() const;

  struct TLine {
    std::string Raw;      ///< as read, line break included
    bool InKey = false;   ///< the line is inside one of the key's sections
    std::optional<std::pair<std::string, TSettingsValue>> Value;  ///< a value line the store reads
  };
  const std::vector<TLine>& Lines() const { return FLines; }

private:
  void SetValue(const std::string& name, const TSettingsValue& value);
  /// Where a new value goes; adds the key section when there is none.
  size_t EndOfLastKeySection();
  /// The line break of new lines: the file's own ("\r\n" when its first line has it).
  std::string LineBreak() const;

  std::vector<TLine> FLines;
};

/// TRegDocument(text).Values().
std::optional<TSettingsValues> ParseRegFile(std::string_view text);

/// The whole file text for these values alone. Control characters, which the
/// format cannot carry, are written as blanks, and bytes that are not UTF-8
/// as '?', so that what is written can always be read back.
std::string FormatRegFile(const TSettingsValues& values);
