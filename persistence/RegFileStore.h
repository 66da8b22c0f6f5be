#pragma once
// The settings store of the running program: one REGEDIT4 text file, shared
// by every instance. Each Merge takes a lock, re-reads the file, changes only
// the given values and replaces the file whole, so two instances never wipe
// each other's values and a crash never leaves half a file. Lines the store
// does not set are kept as they are, and a file that exists but cannot be
// read in full (no permission, not a regular file, over 1 MiB, not UTF-8
// text) is never overwritten.

#include "persistence/FileError.h"
#include "platform/SettingsStore.h"

#include <string>

class TRegFileStore final : public TSettingsStore {
public:
  /// A store kept in the file at path (a lock file "<path>.lock" lies beside it).
  explicit TRegFileStore(std::string path);

  bool KeyExists() override;
  /// Nothing when the file is missing, unreadable or holds no key section.
  std::optional<TSettingsValues> Read() override;
  /// Creates the file and its folders when missing; refuses a file that
  /// cannot be read in full.
  bool Merge(const TSettingsValues& changes) override;
  std::string KeptFileReport() const override { return FKeptFileReport; }
  std::string Location() const override { return "settings file " + FPath; }

  const std::string& Path() const { return FPath; }

private:
  void KeepFile(const TFileError& error);

  std::string FPath;
  std::string FKeptFileReport;
};

/// $XDG_CONFIG_HOME/Vellacor/Zephyra.reg, with ~/.config when that variable is
/// unset, empty or not an absolute path.
std::string DefaultSettingsFilePath();
