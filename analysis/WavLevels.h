#pragma once
// The level figures of a whole PCM WAV file, channel by channel, as
// `zephyra-render --stats` prints them.

#include "analysis/LevelText.h"

#include <optional>
#include <string>
#include <vector>

struct TChannelLevels {
  std::string Name;  ///< "left", "right", or "mono" for a one-channel file
  TLevels Levels;
};

/// Reads the 16- or 24-bit PCM WAV file at path; nothing, with the reason in
/// error, when it cannot be read or is not such a file.
std::optional<std::vector<TChannelLevels>> ReadWavLevels(const std::string& path, std::string& error);

/// "mono" for a one-channel file, else "left" or "right".
std::string ChannelName(int channel, int channels);

/// "left rms=-12.04 peak=-0.01 crest=4.00"; silence: "rms=-inf peak=-inf crest=-".
std::string StatsLine(const TChannelLevels& channel);
