#pragma once
// The instrument's error queue: errors in the order they happened, read one
// at a time by SYSTem:ERRor?. It holds at most Capacity entries; when it is
// full, the newest entry becomes -350 "Queue overflow" and later errors are
// dropped until a read makes room.

#include <cstddef>
#include <deque>
#include <string>

/// The standard error codes the instrument reports.
enum TScpiError : int {
  seNone = 0,
  seCommand = -100,
  seSyntax = -102,
  seDataType = -104,
  seParameterNotAllowed = -108,
  seMissingParameter = -109,
  seUndefinedHeader = -113,
  seSuffixOutOfRange = -114,
  seInvalidSuffix = -131,
  seExecution = -200,
  seSettingsConflict = -221,
  seOutOfRange = -222,
  seTooMuchData = -223,
  seIllegalValue = -224,
  seFileNotFound = -256,
  seFileName = -257,
  seQueueOverflow = -350,
};

/// The standard text of code ("Data out of range").
const char* ScpiErrorText(int code);

class TErrorQueue {
public:
  static constexpr size_t Capacity = 16;

  /// Adds code, with detail after the standard text ("-222,"Data out of range;LEVel -120"").
  void Push(int code, const std::string& detail = {});
  /// Takes the oldest entry as SYSTem:ERRor? answers it; 0,"No error" when empty.
  std::string Pop();
  bool Empty() const { return FEntries.empty(); }
  size_t Size() const { return FEntries.size(); }
  void Clear() { FEntries.clear(); }

private:
  std::deque<std::string> FEntries;
};
