#include "export/WavHeader.h"

#include <cstring>

namespace {

constexpr uint32_t kFmtChunkSize = 16;
// The RIFF size counts everything after its own field: "WAVE", the format
// chunk and the data chunk's header, 36 bytes, then the data.
constexpr uint32_t kRiffOverhead = 36;

class THeaderWriter {
public:
  explicit THeaderWriter(std::array<uint8_t, kWavHeaderSize>& out) : FOut(out) {}
  void Tag(const char (&tag)[5]) {
    std::memcpy(FOut.data() + FPos, tag, 4);
    FPos += 4;
  }
  void U16(uint32_t value) { Little(value, 2); }
  void U32(uint32_t value) { Little(value, 4); }

private:
  void Little(uint32_t value, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) FOut[FPos++] = static_cast<uint8_t>(value >> (8 * i));
  }
  std::array<uint8_t, kWavHeaderSize>& FOut;
  size_t FPos = 0;
};

const char* ChannelWord(uint16_t channels) { return channels == 1 ? "mono" : "stereo"; }

}  // namespace

std::array<uint8_t, kWavHeaderSize> WavHeader(const TWavFormat& format, uint64_t frameCount) {
  auto dataSize = static_cast<uint32_t>(frameCount * format.BytesPerFrame());
  std::array<uint8_t, kWavHeaderSize> header{};
  THeaderWriter out(header);
  out.Tag("RIFF");
  out.U32(kRiffOverhead + dataSize);
  out.Tag("WAVE");
  out.Tag("fmt ");
  out.U32(kFmtChunkSize);
  out.U16(1);  // PCM
  out.U16(format.Channels);
  out.U32(format.SampleRate);
  out.U32(format.SampleRate * format.BytesPerFrame());
  out.U16(format.BytesPerFrame());
  out.U16(8u * format.BytesPerSample);
  out.Tag("data");
  out.U32(dataSize);
  return header;
}

uint64_t MaxWavFrames(const TWavFormat& format) {
  return (uint64_t{UINT32_MAX} - kRiffOverhead) / format.BytesPerFrame();
}

std::string WavTooLongMessage(const TWavFormat& format) {
  uint64_t seconds = MaxWavFrames(format) / format.SampleRate;
  return "The signal is too long for a WAV file. At " + std::to_string(format.SampleRate) + " Hz, " +
         ChannelWord(format.Channels) + ", " + std::to_string(8 * format.BytesPerSample) +
         " bits, a WAV file holds at most " + std::to_string(seconds) + " seconds.";
}
