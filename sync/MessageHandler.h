#pragma once
// The main window's handling of the generator messages: each number of the
// table turns its parameters into texts, switch states or list entries and
// hands them to the window. Numbers outside the table do nothing.

#include "engine/NumberFormat.h"
#include "sync/MessageTarget.h"

#include <cstdint>

class TGeneratorMessageHandler {
public:
  /// target must outlive the handler; format writes the duration's decimals.
  TGeneratorMessageHandler(TMessageTarget& target, TNumberFormat format) : FTarget(target), FFormat(format) {}

  /// Handles one message, whoever sent it (the window's own sync box plays no part).
  void WndProc(uint32_t number, uint32_t wParam, int32_t lParam);

private:
  /// field := the number's decimal text.
  void SetNumber(TMessageField field, int64_t value);
  /// Selects entry in list when it is one of the list's entries; otherwise nothing.
  void SelectWithin(TMessageList list, int64_t entry);
  void SetChannels(uint32_t wParam);
  /// Level text, then the level's validation at once (limits -100..0 dBFS).
  void SetLevel(TMessageField field, uint32_t wParam);
  void SetMemory(uint32_t wParam, int32_t lParam);

  TMessageTarget& FTarget;
  TNumberFormat FFormat;
};
