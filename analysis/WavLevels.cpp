#include "analysis/WavLevels.h"

#include "analysis/PcmSamples.h"

#include <array>
#include <cstring>
#include <fstream>

namespace {

uint32_t Le32(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24; }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

struct TPcmLayout {
  uint16_t channels = 0;
  uint16_t bytes = 0;
};

/// Reads chunk headers up to the data chunk; its size in dataBytes.
bool FindData(std::ifstream& in, TPcmLayout& layout, uint32_t& dataBytes, std::string& error) {
  std::array<uint8_t, 12> riff{};
  if (!in.read(reinterpret_cast<char*>(riff.data()), riff.size()) || std::memcmp(riff.data(), "RIFF", 4) != 0 ||
      std::memcmp(riff.data() + 8, "WAVE", 4) != 0) {
    error = "not a WAV file";
    return false;
  }
  std::array<uint8_t, 8> chunk{};
  while (in.read(reinterpret_cast<char*>(chunk.data()), chunk.size())) {
    const uint32_t size = Le32(chunk.data() + 4);
    if (std::memcmp(chunk.data(), "data", 4) == 0) {
      if (layout.channels == 0) break;
      dataBytes = size;
      return true;
    }
    if (std::memcmp(chunk.data(), "fmt ", 4) == 0 && size >= 16) {
      std::array<uint8_t, 16> fmt{};
      if (!in.read(reinterpret_cast<char*>(fmt.data()), fmt.size())) break;
      const uint16_t bits = Le16(fmt.data() + 14);
      layout.channels = Le16(fmt.data() + 2);
      layout.bytes = static_cast<uint16_t>(bits / 8);
      if (Le16(fmt.data()) != 1 || (bits != 16 && bits != 24) || layout.channels < 1 || layout.channels > 2) {
        error = "not a 16- or 24-bit PCM WAV file with one or two channels";
        return false;
      }
      in.seekg(size - 16 + (size & 1), std::ios::cur);
    } else {
      in.seekg(size + (size & 1), std::ios::cur);
    }
  }
  error = "no format and data in the WAV file";
  return false;
}

}  // namespace

std::optional<std::vector<TChannelLevels>> ReadWavLevels(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read '" + path + "'";
    return std::nullopt;
  }
  TPcmLayout layout;
  uint32_t dataBytes = 0;
  if (!FindData(in, layout, dataBytes, error)) {
    error = "'" + path + "': " + error;
    return std::nullopt;
  }
  const int frameBytes = layout.channels * layout.bytes;
  std::array<TLevelSums, 2> sums{};
  std::vector<uint8_t> block(static_cast<size_t>(frameBytes) * 16384);
  for (uint32_t left = dataBytes - dataBytes % frameBytes; left > 0;) {
    const auto want = std::min<size_t>(left, block.size());
    in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(want));
    const auto frames = static_cast<int32_t>(in.gcount() / frameBytes);
    if (frames == 0) break;  // a file cut short counts up to its end
    for (int c = 0; c < layout.channels; ++c)
      ReadChannel(block.data(), frames, layout.channels, layout.bytes, c, 1, sums[static_cast<size_t>(c)], nullptr);
    left -= static_cast<uint32_t>(frames * frameBytes);
  }
  const double fullScale = layout.bytes == 3 ? 8388607 : 32767;
  std::vector<TChannelLevels> result;
  if (layout.channels == 1) {
    result.push_back({"mono", LevelsOf(sums[0], fullScale)});
  } else {
    result.push_back({"left", LevelsOf(sums[0], fullScale)});
    result.push_back({"right", LevelsOf(sums[1], fullScale)});
  }
  return result;
}

std::string StatsLine(const TChannelLevels& channel) {
  const TLevels& l = channel.Levels;
  return channel.Name + " rms=" + DbText(l.rmsDb) + " peak=" + DbText(l.peakDb) + " crest=" + CrestText(l.crest);
}
