#pragma once
// What a generator tells automation about itself (the bus's Status call):
// plain values read from the window when asked, and the key=value lines
// zephyra-remote prints of them.

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

struct TGeneratorStatus {
  bool Playing = false;  ///< the output is active (also while paused)
  bool Paused = false;
  int32_t SampleRate = 0;
  int32_t BufferCount = 0;
  int32_t BufferSize = 0;  ///< bytes, the size in effect
  int64_t Dropouts = 0;
  double DropoutMs = 0;
  /// The output's device is lost: the output is on and waits for it.
  bool DeviceLost = false;
  /// Channels the output is set to play: 1 mono, 2 stereo.
  int32_t Channels = 1;
  /// Meter figures in dBFS, left (or mono) first; -inf for silence.
  double RmsDb[2] = {-INFINITY, -INFINITY}, PeakDb[2] = {-INFINITY, -INFINITY};
  /// The device outputs Left (or mono) and Right play on, 1 the first.
  int32_t LeftOutput = 1, RightOutput = 2;
};

/// Reads the status at once; it must neither wait nor change the generator.
using TStatusSource = std::function<TGeneratorStatus()>;

/// One value as the bus carries it: b, i, x, d (s for a key this program does not know).
using TStatusValue = std::variant<bool, int32_t, int64_t, double, std::string>;
using TStatusFields = std::vector<std::pair<std::string, TStatusValue>>;

/// The fields in their fixed order: playing, paused, sample_rate,
/// buffer_count, buffer_size, dropouts, dropout_ms, device (ok or lost), left_output, rms_left,
/// peak_left and, in stereo, right_output, rms_right, peak_right. The left figures are always there.
TStatusFields StatusFields(const TGeneratorStatus& status);

/// fields sorted into the fixed order; keys it does not know follow, by name.
TStatusFields InStatusOrder(TStatusFields fields);

/// "key=value" lines: booleans true/false, numbers in the C locale (-inf for silence).
std::string StatusText(const TStatusFields& fields);
