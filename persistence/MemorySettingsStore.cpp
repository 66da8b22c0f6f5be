#include "persistence/MemorySettingsStore.h"

bool TMemorySettingsStore::Merge(const TSettingsValues& changes) {
  if (FReadOnly) return false;
  if (!FValues) FValues.emplace();
  for (const auto& [name, value] : changes) FValues->insert_or_assign(name, value);
  return true;
}
