#include "analysis/WavLevels.h"

#include "analysis/PcmWavFile.h"

#include <array>

std::optional<std::vector<TChannelLevels>> ReadWavLevels(const std::string& path, std::string& error) {
  TPcmWavReader reader;
  if (!reader.Open(path, error)) return std::nullopt;
  const TPcmWavFormat& format = reader.Format();
  std::array<TLevelSums, 2> sums{};
  constexpr int32_t BlockFrames = 16384;
  std::vector<uint8_t> block(static_cast<size_t>(format.FrameBytes()) * BlockFrames);
  while (const int32_t frames = reader.Read(block.data(), BlockFrames))
    for (int c = 0; c < format.Channels; ++c)
      ReadChannel(block.data(), frames, format.Channels, format.BytesPerSample, c, 1, sums[static_cast<size_t>(c)],
                  nullptr);
  std::vector<TChannelLevels> result;
  for (int c = 0; c < format.Channels; ++c)
    result.push_back({ChannelName(c, format.Channels), LevelsOf(sums[static_cast<size_t>(c)], format.FullScale())});
  return result;
}

std::string ChannelName(int channel, int channels) {
  if (channels == 1) return "mono";
  return channel == 0 ? "left" : "right";
}

std::string StatsLine(const TChannelLevels& channel) {
  const TLevels& l = channel.Levels;
  return channel.Name + " rms=" + DbText(l.rmsDb) + " peak=" + DbText(l.peakDb) + " crest=" + CrestText(l.crest);
}
