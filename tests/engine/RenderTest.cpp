#include "engine/Render.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
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

TEST(Renderer, KeepsModulationValuesFromAnywhereInRange) {
  GeneratorState s = WhiteState();
  s.left.modulationOn = true;
  s.left.modulationFunction = mfSine;
  s.frameIndex = 11025;  // a quarter period: sin = 1, the lowest gain
  s.left.modulationDepth = 3.0f;
  RenderChannelSample(s, TChannel::Left, ntWhite);
  EXPECT_EQ(s.left.modulationGain, 0.0f);
  s.frameIndex = 3 * 11025;  // sin = -1, the highest gain
  RenderChannelSample(s, TChannel::Left, ntWhite);
  EXPECT_EQ(s.left.modulationGain, 1.0f);
  for (float depth : {-0.5f, std::nanf("")}) {
    s.left.modulationDepth = depth;
    s.frameIndex = 11025;
    RenderChannelSample(s, TChannel::Left, ntWhite);
    EXPECT_EQ(s.left.modulationGain, 1.0f);
  }
  s.left.modulationDepth = 1;
  s.left.modulationGain = 0.75f;
  for (float period : {0.0f, -1.0f, std::nanf("")}) {
    s.left.modulationPeriod = period;
    RenderChannelSample(s, TChannel::Left, ntWhite);
    EXPECT_EQ(s.left.modulationGain, 0.75f) << period;
  }
  s.left.modulationPeriod = 1;
  s.left.modulationPhase = std::numeric_limits<float>::infinity();
  RenderChannelSample(s, TChannel::Left, ntWhite);
  EXPECT_EQ(s.left.modulationGain, 0.75f);
  s.left.modulationPhase = 0;
  s.left.modulationPeriod = 1e-45f;  // a finite phase still: follows the definition
  RenderChannelSample(s, TChannel::Left, ntWhite);
  EXPECT_GE(s.left.modulationGain, 0.0f);
  EXPECT_LE(s.left.modulationGain, 1.0f);
}

TEST(Renderer, NeverUsesAListIndexOutsideItsList) {
  GeneratorState plain = WhiteState(9), odd = WhiteState(9);
  odd.left.modulationOn = true;
  odd.left.modulationFunction = 4;  // no such function: the gain stays at 1
  odd.left.filterType = 6;          // no such filter: bypassed like None
  odd.filterL.norm[0] = 1e6;        // and its stale coefficients unused
  odd.right.noiseType = 2;          // no such noise: silence
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(RenderChannelSample(odd, TChannel::Left, ntWhite),
              RenderChannelSample(plain, TChannel::Left, ntWhite));
    EXPECT_EQ(RenderChannelSample(odd, TChannel::Right, odd.right.noiseType), 0);
  }
  EXPECT_EQ(odd.left.modulationGain, 1.0f);
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
  StoreSample(out, -32768, 2);
  EXPECT_EQ(out, bytes + 4);
  EXPECT_EQ((std::vector<uint8_t>(bytes, bytes + 4)), (std::vector<uint8_t>{0xD4, 0xFE, 0x00, 0x80}));
  out = bytes;
  StoreSample(out, -2, 3);
  StoreSample(out, 0x123456, 3);
  EXPECT_EQ((std::vector<uint8_t>(bytes, bytes + 6)),
            (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0x56, 0x34, 0x12}));
}

TEST(SampleStorage, SaturatesInsteadOfWrappingAround) {
  uint8_t bytes[12];
  uint8_t* out = bytes;
  StoreSample(out, 32768, 2);
  StoreSample(out, -40000, 2);
  StoreSample(out, 8388608, 3);
  StoreSample(out, INT32_MIN, 3);
  EXPECT_EQ(DecodeSamples(bytes, 2, 2), (std::vector<int32_t>{32767, -32768}));
  EXPECT_EQ(DecodeSamples(bytes + 4, 2, 3), (std::vector<int32_t>{8388607, -8388608}));
}

TEST(SampleStorage, KeepsALoudPeakingBoostAtFullScale) {
  // +20 dB at 1 kHz on full-scale noise goes far beyond full scale.
  GeneratorState rendered = WhiteState(4), filled = WhiteState(4);
  for (GeneratorState* s : {&rendered, &filled}) {
    s->left.filterType = s->right.filterType = ftPeaking;
    for (ChannelFilter* f : {&s->filterL, &s->filterR}) {
      SetFilterInputs(*f, 1000, 1, 20, 44100);
      DesignFilter(*f, ftPeaking);
    }
  }
  const auto stored = FillFrames(filled, 20000);
  int64_t clipped = 0;
  for (size_t i = 0; i < stored.size(); i += 2) {
    const int32_t l = RenderChannelSample(rendered, TChannel::Left, ntWhite);
    const int32_t r = RenderChannelSample(rendered, TChannel::Right, ntWhite);
    ++rendered.frameIndex;
    ASSERT_EQ(stored[i], std::clamp(l, -32768, 32767));
    ASSERT_EQ(stored[i + 1], std::clamp(r, -32768, 32767));
    clipped += l > 32767 || l < -32768;
  }
  EXPECT_GT(clipped, 100);
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

TEST(BufferFill, PlaysSignalsLongerThanThirtyTwoBitFrameCounts) {
  // Four hours at 192000 Hz is 2764800000 frames.
  GeneratorState s = WhiteState();
  s.sampleRate = 192000;
  s.totalFrames = int64_t{4} * 3600 * 192000;
  s.frameIndex = s.totalFrames - 1500;
  s.left.noiseType = s.right.noiseType = ntPink;
  s.left.modulationOn = true;
  std::vector<uint8_t> buffer(4000);
  EXPECT_EQ(FillBuffer(s, buffer.data(), 4000, 12000), TFillResult::Continue);
  const auto samples = DecodeSamples(buffer.data(), 2000, 2);
  EXPECT_GT(std::count_if(samples.begin(), samples.end(), [](int32_t v) { return v != 0; }), 1500);
  EXPECT_EQ(FillBuffer(s, buffer.data(), 4000, 12000), TFillResult::Continue)
      << "the buffer with the last 500 frames must still be played";
  EXPECT_EQ(s.frameIndex, s.totalFrames + 500);
  EXPECT_EQ(FillBuffer(s, buffer.data(), 4000, 12000), TFillResult::End);
}

TEST(BufferFill, TheBufferThatReachesTheEndIsPlayedAndTheNextEndsTheSignal) {
  GeneratorState s = WhiteState();
  s.totalFrames = 4500;  // 4.5 buffers of 1000 stereo frames, ring of 2 buffers
  std::vector<uint8_t> buffer(4000);
  const int64_t ring = 2 * 4000;
  for (int i = 0; i < 4; ++i) ASSERT_EQ(FillBuffer(s, buffer.data(), 4000, ring), TFillResult::Continue);
  EXPECT_EQ(FillBuffer(s, buffer.data(), 4000, ring), TFillResult::Continue);
  const auto samples = DecodeSamples(buffer.data(), 2000, 2);
  EXPECT_NE(samples[999], 0);
  EXPECT_EQ(samples[1000], 0);
  EXPECT_EQ(FillBuffer(s, buffer.data(), 4000, ring), TFillResult::End);
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
