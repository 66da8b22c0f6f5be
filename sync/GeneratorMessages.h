#pragma once
// The numbers of the generator's remote-control messages. Senders address a
// generator by number with two parameters: wParam (unsigned 32-bit) and
// lParam (signed 32-bit). Right-channel messages that exist on their own are
// the left-channel number plus 100.

#include <cstdint>

enum TGeneratorMessage : uint32_t {
  gmStart = 1024,            ///< start with this generator's own settings
  gmStop = 1025,             ///< stop at once
  gmPause = 1026,            ///< toggle pause
  gmSync = 1027,             ///< "Sync all Generators" := wParam != 0
  gmDuration = 1034,         ///< duration in tenths of a second
  gmLoop = 1035,             ///< "Loop" := wParam != 0
  gmChannels = 1038,         ///< 0 mono; else stereo, bit 0 left on, bit 1 right on
  gmLevelLeft = 1040,        ///< level in dBFS (wParam read as signed)
  gmModulationLeft = 1041,   ///< left modulation := wParam != 0
  gmModPeriods = 1042,       ///< periods in s: left wParam, right lParam
  gmModDepths = 1043,        ///< depths in %: left wParam, right lParam
  gmModFunctions = 1044,     ///< function list entries: left wParam, right lParam
  gmModPhases = 1045,        ///< phases in degrees: left wParam, right lParam
  gmWaveFormLeft = 1046,     ///< noise list entry
  gmDevice = 1047,           ///< device id (0xFFFFFFFF: the system default)
  gmMemory = 1048,           ///< wParam 0 recall, 1 store memory lParam (1..4)
  gmLevelRight = 1140,
  gmModulationRight = 1141,
  gmWaveFormRight = 1146,
  gmHotKey = 786,            ///< the global ON/OFF key; wParam is the key's id
};

/// The id of the ON/OFF hot key in gmHotKey's wParam.
constexpr uint32_t OnOffHotKeyId = 1;
