#include "engine/Render.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// A prepared-looking stereo state: white noise at "1.42:1", 16 bits, seeded.
GeneratorState WhiteState(uint32_t seed = 1, int32_t channels = cmStereo) {
  GeneratorState s;
  s.random.Seed(seed);
  s.channels = channels;
  s.bytesPerFrame = channels == cmStereo ? 4 : 2;
  s.totalFrames = 1000000;
  for (ChannelSettings* c : {&s.left, &s.right}) {
    c->crestIndex = 0;
    CrestFactorChanged(*c);
  }
  return s;
}

// The seed whose next draw is `draw` x 2^32.
uint32_t SeedBefore(uint32_t next) {
  uint32_t inverse = 134775813u;
  for (int i = 0; i < 5; ++i) inverse *= 2u - 134775813u * inverse;
  return (next - 1u) * inverse;
}

TEST(Renderer, ScalesTheNoiseValueAndRoundsTiesToEven) {
  GeneratorState s = WhiteState();
  s.random.Seed(SeedBefore(0xC0000000u));  // draw 0.75, noise value 0.5
  EXPECT_EQ(RenderChannelSample(s, TChannel::Left, ntWhite), 16384);
  s.random.Seed(SeedBefore(0xC0000000u));
  s.fullScale = 8388607;
  EXPECT_EQ(RenderChannelSample(s, TChannel::Left, ntWhite), 4194304);
}

TEST(Renderer, GivesSilenceForNoiseTypesOutsideTheList) {
  GeneratorState s = WhiteState();
  const uint32_t before = s.random.State();
  EXPECT_EQ(RenderChannelSample(s, TChannel::Left, 2), 0);
  EXPECT_EQ(RenderChannelSample(s, TChannel::Left, -1), 0);
  EXPECT_EQ(s.random.State(), before);
}

TEST(Renderer, ModulatesFromTheStartPhase) {
  GeneratorState s = WhiteState();
  s.left.modulationOn = true;
  s.left.modulationFunction = mfCosine;
  EXPECT_EQ(RenderChannelSample(s, TChannel::Left, ntWhite), 0);  // cos 0 = 1: gain 0
  EXPECT_EQ(s.left.modulationGain, 0.0f);
  s.left.modulationFunction = mfSine;
  RenderChannelSample(s, TChannel::Left, ntWhite);
  EXPECT_EQ(s.left.modulationGain, 0.5f);
}

TEST(Renderer, SquareModulationAlternatesEveryHalfPeriod) {
  GeneratorState s = WhiteState();
  s.sampleRate = 1000;
  s.left.modulationOn = true;
  s.left.modulationFunction = mfSquare;
  s.left.modulationPhase = 0.1f;  // away from the zero crossings
  for (s.frameIndex = 0; s.frameIndex < 2000; ++s.frameIndex) {
    RenderChannelSample(s, TChannel::Left, ntWhite);
    // sin(2 pi n / 1000 + 0.1) < 0 exactly for n mod 1000 in 485 .. 984.
    const int64_t n = s.frameIndex % 1000;
    ASSERT_EQ(s.left.modulationGain, n >= 485 && n <= 984 ? 1.0f : 0.0f) << s.frameIndex;
  }
}

TEST(Renderer, KeepsTheGainWhenModulationIsOffOrThePeriodIsZero) {
  GeneratorState s = WhiteState();
  s.left.modulationGain = 0.25f;
  RenderChannelSample(s, TChannel::Left, ntWhite);
  EXPECT_EQ(s.left.modulationGain, 0.25f);
  s.left.modulationOn = true;
  s.left.modulationPeriod = 0;
  s.frameIndex = 10;
  RenderChannelSample(s, TChannel::Left, ntWhite);
  EXPECT_EQ(s.left.modulationGain, 0.25f);
}

TEST(Waveforms, SignAndTriangleHaveTheirValues) {
  EXPECT_EQ(sign(0.0f), 1.0f);
  EXPECT_EQ(sign(-0.0f), 1.0f);
  EXPECT_EQ(sign(-1e-30f), -1.0f);
  const float pi = std::numbers::pi_v<float>;
  EXPECT_EQ(triangle(0), 0.0f);
  EXPECT_NEAR(triangle(pi / 2), 1.0f, 1e-6);
  EXPECT_NEAR(triangle(3 * pi / 2), -1.0f, 1e-6);
  EXPECT_NEAR(triangle(pi / 4), 0.5f, 1e-6);
}

TEST(SampleStorage, WritesLittleEndianTwosComplement) {
  uint8_t bytes[6];
  uint8_t* out = bytes;
  StoreSample(out, -300, 2);
  StoreSample(out, 32768, 2);
  EXPECT_EQ(out, bytes + 4);
  EXPECT_EQ(bytes[0], 0xD4);
  EXPECT_EQ(bytes[1], 0xFE);
  EXPECT_EQ(bytes[2], 0x00);
  EXPECT_EQ(bytes[3], 0x80);
  out = bytes;
  StoreSample(out, -2, 3);
  EXPECT_EQ(bytes[0], 0xFE);
  EXPECT_EQ(bytes[1], 0xFF);
  EXPECT_EQ(bytes[2], 0xFF);
}

TEST(BufferFill, MonoWritesOneSamplePerFrame) {
  GeneratorState s = WhiteState(1, cmMono);
  s.left.channelOn = 0;  // the switch does not apply in mono
  std::vector<uint8_t> buffer(4096);
  EXPECT_EQ(FillBuffer(s, buffer.data(), 4096, 0), TFillResult::Continue);
  EXPECT_EQ(s.frameIndex, 2048);
  const auto samples = DecodeSamples(buffer.data(), 2048, 2);
  EXPECT_NE(std::count(samples.begin(), samples.end(), 0), 2048);
}

TEST(BufferFill, AsLeftCopiesTheLeftChannel) {
  GeneratorState s = WhiteState();
  s.asLeft = true;
  s.right.channelOn = 0;
  auto samples = FillFrames(s, 500);
  for (size_t i = 0; i < samples.size(); i += 2) ASSERT_EQ(samples[i], samples[i + 1]);
  s.left.channelOn = 0;
  samples = FillFrames(s, 500);
  EXPECT_EQ(std::count(samples.begin(), samples.end(), 0), 1000);
}

TEST(BufferFill, ASwitchedOffChannelIsSilentButStillRendered) {
  GeneratorState on = WhiteState(77), off = WhiteState(77);
  off.right.channelOn = 0;
  const auto a = FillFrames(on, 300), b = FillFrames(off, 300);
  for (size_t i = 0; i < a.size(); i += 2) {
    ASSERT_EQ(a[i], b[i]);  // the left channel sees the same random sequence
    ASSERT_EQ(b[i + 1], 0);
  }
}

TEST(BufferFill, EndsWithSilenceOnceTheWholeRingHasPlayed) {
  GeneratorState s = WhiteState();
  s.totalFrames = 1500;
  std::vector<uint8_t> buffer(4000);  // 1000 stereo frames
  const int64_t ring = 3 * 4000;
  EXPECT_EQ(FillBuffer(s, buffer.data(), 4000, ring), TFillResult::Continue);
  EXPECT_EQ(FillBuffer(s, buffer.data(), 4000, ring), TFillResult::Continue);
  auto samples = DecodeSamples(buffer.data(), 2000, 2);
  EXPECT_NE(samples[999], 0);
  EXPECT_TRUE(std::all_of(samples.begin() + 1000, samples.end(), [](int32_t v) { return v == 0; }));
  EXPECT_EQ(FillBuffer(s, buffer.data(), 4000, ring), TFillResult::End);
}

TEST(BufferFill, LoopsForeverRestartingTheTimeIndex) {
  GeneratorState s = WhiteState();
  s.loop = true;
  s.totalFrames = 700;
  std::vector<uint8_t> buffer(4000);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(FillBuffer(s, buffer.data(), 4000, 0), TFillResult::Continue);
  EXPECT_EQ(s.frameIndex, 5000 % 700);
}

TEST(BufferFill, ReportsAFillThatNeverCompleted) {
  GeneratorState s = WhiteState();
  s.fillBusy = true;
  std::vector<uint8_t> buffer(400, 0xAB);
  EXPECT_EQ(FillBuffer(s, buffer.data(), 400, 0), TFillResult::PerformanceIssue);
  EXPECT_FALSE(s.fillBusy);
  EXPECT_EQ(s.frameIndex, 0);
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0xAB; }));
}

TEST(BufferFill, NeverWritesBeyondTheSize) {
  GeneratorState s = WhiteState();
  s.bitsPerSample = 24;
  std::vector<uint8_t> buffer(20, 0xAB);
  FillBuffer(s, buffer.data(), 15, 0);  // two 6-byte frames and 3 bytes of zeros
  EXPECT_EQ(s.frameIndex, 2);
  EXPECT_TRUE(std::all_of(buffer.begin() + 12, buffer.begin() + 15, [](uint8_t b) { return b == 0; }));
  EXPECT_TRUE(std::all_of(buffer.begin() + 15, buffer.end(), [](uint8_t b) { return b == 0xAB; }));
}

}  // namespace
