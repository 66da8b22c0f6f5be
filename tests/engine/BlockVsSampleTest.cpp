// The fill and the export render in blocks, stage by stage, with vector
// instructions where the processor has them; RenderChannelSample renders one
// sample at a time the way the signal is defined. Over a table of settings
// and call lengths both must store the same samples (and the export count
// the same clips).
#include "bench/engine/Configurations.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kFrames = 3001;
constexpr int32_t kCallFrames[] = {1, 7, 127, 2049};

// Case i of the table: every crest choice meets every filter and every
// modulation (off or a function); noise (pink or white on each channel: the
// two share the random draws and the pink rows), width, channels and call
// length vary with it.
GeneratorState CaseState(int i) {
  GeneratorState state;
  SetUpBenchSignal(state, TBenchSignal::Pink44k, 100 + i);
  const int crest = i % 7, filter = (i / 7) % 6, modulation = i / 42;
  state.bitsPerSample = i % 2 ? 24 : 16;
  state.fullScale = FullScaleFor(state.bitsPerSample);
  state.channels = (i / 2) % 3 == 0 ? cmMono : cmStereo;
  state.bytesPerFrame = state.bitsPerSample / 8 * (state.channels == cmStereo ? 2 : 1);
  for (ChannelSettings* channel : {&state.left, &state.right}) {
    const bool left = channel == &state.left;
    channel->noiseType = (left ? i / 3 : i / 3 + (i / 6) % 2 + 1) % 2 ? ntPink : ntWhite;
    channel->crestIndex = left ? crest : (crest + 3) % 7;
    CrestFactorChanged(*channel);
    channel->filterType = left ? filter : (filter + 2) % 6;
    channel->modulationOn = modulation > 0;
    channel->modulationFunction = left ? modulation - 1 : modulation % 4;
    channel->modulationPeriod = left ? 0.0371f : 0.013f;
    channel->modulationDepth = 0.8f;
    channel->modulationPhase = left ? 0.7f : 2.1f;
    channel->amplitudeGain = left ? 1.0f : 0.25f;
    ChannelFilter& f = left ? state.filterL : state.filterR;
    SetFilterInputs(f, left ? 900 : 5000, 2, 12, state.sampleRate);  // +12 dB: Peaking clips
    DesignFilter(f, channel->filterType);
  }
  state.right.channelOn = i % 5 != 0;
  return state;
}

// One sample at a time, as stored; clips counted per channel. A looping
// signal starts again after its last frame; past the end of one that does
// not loop, the fill stores silence (`silenceAfterEnd`).
std::vector<int32_t> PerSample(GeneratorState& state, int64_t clipped[2], bool silenceAfterEnd = false) {
  const int bytes = state.bitsPerSample / 8;
  const bool stereo = state.channels == cmStereo;
  std::vector<int32_t> out;
  auto store = [&](int32_t sample, int channel) {
    out.push_back(AsStored(sample, bytes));
    clipped[channel] += out.back() != sample;
  };
  for (int32_t j = 0; j < kFrames; ++j, ++state.frameIndex) {
    if (state.loop && state.frameIndex == state.totalFrames) state.frameIndex = 0;
    if (silenceAfterEnd && !state.loop && state.frameIndex >= state.totalFrames) {
      for (int c = 0; c < (stereo ? 2 : 1); ++c) out.push_back(0);
      continue;
    }
    const int32_t left = RenderChannelSample(state, TChannel::Left, state.left.noiseType);
    store(stereo ? left * state.left.channelOn : left, 0);
    if (stereo) store(RenderChannelSample(state, TChannel::Right, state.right.noiseType) * state.right.channelOn, 1);
  }
  return out;
}

TEST(BlockVsSample, FillAndExportStoreTheSamplesOfThePerSamplePath) {
  for (int i = 0; i < 7 * 6 * 5; ++i) {
    const int32_t call = kCallFrames[(i / 4) % 4];
    GeneratorState perSample = CaseState(i), fill = perSample, exported = perSample;
    int64_t clipped[2] = {};
    const std::vector<int32_t> expected = PerSample(perSample, clipped);

    EXPECT_EQ(FillFrames(fill, kFrames, call), expected) << "fill, case " << i << ", " << call << " frames a buffer";

    const TExportLayout layout{exported.channels == cmStereo, exported.bitsPerSample / 8};
    std::vector<uint8_t> bytes(static_cast<size_t>(kFrames) * exported.bytesPerFrame);
    for (int32_t done = 0; done < kFrames; done += call)
      RenderExportFrames(exported, layout, bytes.data() + static_cast<size_t>(done) * exported.bytesPerFrame,
                         std::min(call, kFrames - done));
    EXPECT_EQ(DecodeSamples(bytes.data(), expected.size(), layout.SampleBytes), expected)
        << "export, case " << i << ", " << call << " frames a call";
    EXPECT_EQ(exported.clipped[0], clipped[0]) << "case " << i;
    EXPECT_EQ(exported.clipped[1], clipped[1]) << "case " << i;
  }
}

// The fill across the end of the signal: a loop goes on at frame 0 (the
// pink rows' schedule jumps there), a signal without loop ends in silence.
TEST(BlockVsSample, FillAcrossTheEndOfTheSignal) {
  for (int i = 0; i < 16; ++i) {
    const int32_t call = kCallFrames[i % 4];
    GeneratorState perSample = CaseState(6 * i + 2);
    perSample.loop = i % 8 < 4;
    perSample.totalFrames = 997 + 61 * i;
    GeneratorState fill = perSample;
    int64_t clipped[2] = {};
    EXPECT_EQ(FillFrames(fill, kFrames, call), PerSample(perSample, clipped, true))
        << "case " << i << ", loop " << perSample.loop << ", " << call << " frames a buffer";
  }
}

}  // namespace
