#pragma once
// The texts of the result codes every wave-out device shares.

#include "platform/WaveOutDevice.h"

#include <optional>
#include <string>

/// The text of a shared code; nothing for a code of the device's own.
std::optional<std::string> CommonWaveErrorText(TMMResult code);
