// Whole-file levels of WAV files written byte by byte here.

#include "analysis/WavLevels.h"
#include "tests/persistence/TempDir.h"

#include <gtest/gtest.h>

namespace {

void Put(std::vector<uint8_t>& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

/// A PCM file with an extra chunk before the data, as other programs write.
std::vector<uint8_t> Wav(uint16_t channels, uint16_t bits, const std::vector<int32_t>& samples) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * bits / 8);
  std::vector<uint8_t> b{'R', 'I', 'F', 'F'};
  Put(b, 4 + 24 + 14 + 8 + dataBytes, 4);
  for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<uint8_t>(c));
  Put(b, 16, 4);
  Put(b, 1, 2);
  Put(b, channels, 2);
  Put(b, 48000, 4);
  Put(b, 48000u * channels * bits / 8, 4);
  Put(b, channels * bits / 8u, 2);
  Put(b, bits, 2);
  for (char c : std::string("LIST")) b.push_back(static_cast<uint8_t>(c));
  Put(b, 5, 4);
  for (int i = 0; i < 6; ++i) b.push_back('x');  // 5 bytes and the pad byte
  for (char c : std::string("data")) b.push_back(static_cast<uint8_t>(c));
  Put(b, dataBytes, 4);
  for (int32_t s : samples) Put(b, static_cast<uint32_t>(s), bits / 8);
  return b;
}

std::vector<std::string> Lines(const std::string& path) {
  std::string error;
  const auto levels = ReadWavLevels(path, error);
  if (!levels) return {error};
  std::vector<std::string> lines;
  for (const auto& c : *levels) lines.push_back(StatsLine(c));
  return lines;
}

TEST(WavLevels, ChannelsInFileOrderWithSilenceAndFullScale) {
  TTempDir dir;
  // Left silent; right a full-scale 24-bit square.
  WriteBytes(dir.File("stereo.wav"), Wav(2, 24, {0, 8388607, 0, -8388607, 0, 8388607, 0, -8388607}));
  EXPECT_EQ(Lines(dir.File("stereo.wav")),
            (std::vector<std::string>{"left rms=-inf peak=-inf crest=-", "right rms=0.00 peak=0.00 crest=1.00"}));
  // Mono 16-bit: peak 16384 (-6.02), RMS sqrt((16384^2 + 0 + 0 + 0) / 4) = 8192 (-12.04), crest 2.
  WriteBytes(dir.File("mono.wav"), Wav(1, 16, {16384, 0, 0, 0}));
  EXPECT_EQ(Lines(dir.File("mono.wav")), (std::vector<std::string>{"mono rms=-12.04 peak=-6.02 crest=2.00"}));
}

TEST(WavLevels, FilesThatAreNotPcmWavGiveAReason) {
  TTempDir dir;
  WriteBytes(dir.File("text.wav"), {'h', 'e', 'l', 'l', 'o'});
  auto eight = Wav(1, 16, {1, 2});
  eight[34] = 8;  // 8 bits per sample
  WriteBytes(dir.File("eight.wav"), eight);
  EXPECT_EQ(Lines(dir.File("missing.wav")), (std::vector<std::string>{"cannot read '" + dir.File("missing.wav") + "'"}));
  EXPECT_EQ(Lines(dir.File("text.wav")), (std::vector<std::string>{"'" + dir.File("text.wav") + "': not a WAV file"}));
  EXPECT_EQ(Lines(dir.File("eight.wav")),
            (std::vector<std::string>{"'" + dir.File("eight.wav") +
                                      "': not a 16- or 24-bit PCM WAV file with one or two channels"}));
}

}  // namespace
