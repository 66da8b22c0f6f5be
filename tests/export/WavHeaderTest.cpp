#include "export/WavHeader.h"
#include "tests/export/LittleEndian.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Tag(const std::array<uint8_t, 44>& h, size_t at) { return {h.begin() + at, h.begin() + at + 4}; }

TEST(WavHeader, FiveSecondsOf44100HzStereo16Bit) {
  constexpr uint32_t n = 5 * 44100;
  auto h = WavHeader({44100, 2, 2}, n);
  EXPECT_EQ(Tag(h, 0), "RIFF");
  EXPECT_EQ(U32(h, 4), 4 * n + 36);
  EXPECT_EQ(Tag(h, 8), "WAVE");
  EXPECT_EQ(Tag(h, 12), "fmt ");
  EXPECT_EQ(U32(h, 16), 16u);
  EXPECT_EQ(U16(h, 20), 1u);
  EXPECT_EQ(U16(h, 22), 2u);
  EXPECT_EQ(U32(h, 24), 44100u);
  EXPECT_EQ(U32(h, 28), 4u * 44100);
  EXPECT_EQ(U16(h, 32), 4u);
  EXPECT_EQ(U16(h, 34), 16u);
  EXPECT_EQ(Tag(h, 36), "data");
  EXPECT_EQ(U32(h, 40), 4 * n);
}

TEST(WavHeader, OneSecondOf48000HzMono24Bit) {
  auto h = WavHeader({48000, 1, 3}, 48000);
  EXPECT_EQ(U32(h, 4), 3u * 48000 + 36);
  EXPECT_EQ(U16(h, 22), 1u);
  EXPECT_EQ(U32(h, 24), 48000u);
  EXPECT_EQ(U32(h, 28), 3u * 48000);
  EXPECT_EQ(U16(h, 32), 3u);
  EXPECT_EQ(U16(h, 34), 24u);
  EXPECT_EQ(U32(h, 40), 3u * 48000);
}

TEST(WavLength, TheLargestFrameCountIsTheLastWhoseSizesFit32Bits) {
  for (uint16_t channels : {1, 2})
    for (uint16_t bytes : {2, 3}) {
      TWavFormat format{192000, channels, bytes};
      uint64_t max = MaxWavFrames(format);
      EXPECT_LE(36 + max * format.BytesPerFrame(), uint64_t{UINT32_MAX});
      EXPECT_GT(36 + (max + 1) * format.BytesPerFrame(), uint64_t{UINT32_MAX});
      auto h = WavHeader(format, max);
      EXPECT_EQ(U32(h, 4), 36 + max * format.BytesPerFrame());
    }
}

TEST(WavLength, TheMessageNamesTheLongestWholeDurationThatFits) {
  // (2^32 - 1 - 36) / 4 = 1073741814 frames, 24347.9 s at 44100 Hz
  EXPECT_EQ(WavTooLongMessage({44100, 2, 2}),
            "The signal is too long for a WAV file. At 44100 Hz, stereo, 16 bits, a WAV file holds at most "
            "24347 seconds.");
  // (2^32 - 1 - 36) / 3 = 1431655753 frames, 7456.5 s at 192000 Hz
  EXPECT_NE(WavTooLongMessage({192000, 1, 3}).find("192000 Hz, mono, 24 bits, a WAV file holds at most 7456 seconds"),
            std::string::npos);
}

}  // namespace
