#pragma once
// A settings store held in memory: for tests and for the headless renderer,
// which must never touch the user's settings.

#include "platform/SettingsStore.h"

class TMemorySettingsStore final : public TSettingsStore {
public:
  /// Starts without the key.
  TMemorySettingsStore() = default;
  /// Starts with the key holding these values.
  explicit TMemorySettingsStore(TSettingsValues values) : FValues(std::move(values)) {}

  bool KeyExists() override { return FValues.has_value(); }
  std::optional<TSettingsValues> Read() override { return FValues; }
  bool Merge(const TSettingsValues& changes) override;

  /// While set, every Merge fails as a store without write access does.
  void SetReadOnly(bool readOnly) { FReadOnly = readOnly; }

private:
  std::optional<TSettingsValues> FValues;
  bool FReadOnly = false;
};
