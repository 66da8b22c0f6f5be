#include "analysis/PcmWavFile.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr uint16_t FormatPcm = 1;
constexpr uint16_t FormatExtensible = 0xFFFE;

uint32_t Le32(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24; }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

/// PCM, or the extensible form whose sub-format starts with the PCM tag.
bool IsPcm(const uint8_t* fmt, uint32_t size) {
  const uint16_t tag = Le16(fmt);
  return tag == FormatPcm || (tag == FormatExtensible && size >= 40 && Le16(fmt + 24) == FormatPcm);
}

}  // namespace

bool TPcmWavReader::Open(const std::string& path, std::string& error) {
  FIn.open(path, std::ios::binary);
  if (!FIn) {
    error = "cannot read '" + path + "'";
    return false;
  }
  if (!FindData(error)) {
    error = "'" + path + "': " + error;
    return false;
  }
  return true;
}

bool TPcmWavReader::FindData(std::string& error) {
  std::array<uint8_t, 12> riff{};
  if (!FIn.read(reinterpret_cast<char*>(riff.data()), riff.size()) || std::memcmp(riff.data(), "RIFF", 4) != 0 ||
      std::memcmp(riff.data() + 8, "WAVE", 4) != 0) {
    error = "not a WAV file";
    return false;
  }
  std::array<uint8_t, 8> chunk{};
  while (FIn.read(reinterpret_cast<char*>(chunk.data()), chunk.size())) {
    const uint32_t size = Le32(chunk.data() + 4);
    if (std::memcmp(chunk.data(), "data", 4) == 0) {
      if (FFormat.Channels == 0) break;
      FFormat.Frames = size / FFormat.FrameBytes();
      FLeft = FFormat.Frames;
      return true;
    }
    if (std::memcmp(chunk.data(), "fmt ", 4) == 0 && size >= 16) {
      std::array<uint8_t, 40> fmt{};
      const uint32_t kept = std::min<uint32_t>(size, fmt.size());
      if (!FIn.read(reinterpret_cast<char*>(fmt.data()), kept)) break;
      const uint16_t bits = Le16(fmt.data() + 14);
      FFormat.Channels = Le16(fmt.data() + 2);
      FFormat.SampleRate = static_cast<int32_t>(std::min<uint32_t>(Le32(fmt.data() + 4), INT32_MAX));
      FFormat.BytesPerSample = bits / 8;
      if (!IsPcm(fmt.data(), size) || (bits != 16 && bits != 24) || FFormat.Channels < 1 || FFormat.Channels > 2) {
        error = "not a 16- or 24-bit PCM WAV file with one or two channels";
        return false;
      }
      FIn.seekg(size - kept + (size & 1), std::ios::cur);
    } else {
      FIn.seekg(size + (size & 1), std::ios::cur);
    }
  }
  error = "no format and data in the WAV file";
  return false;
}

int32_t TPcmWavReader::Read(uint8_t* data, int32_t maxFrames) {
  const int64_t want = std::min<int64_t>(FLeft, maxFrames);
  if (want <= 0) return 0;
  FIn.read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(want * FFormat.FrameBytes()));
  const auto frames = static_cast<int32_t>(FIn.gcount() / FFormat.FrameBytes());
  FLeft = frames < want ? 0 : FLeft - frames;  // a file cut short ends here
  return frames;
}
