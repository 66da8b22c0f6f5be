#include "bench/engine/Configurations.h"
#include "engine/Prepare.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/engine/ReferenceRenderer.h"

#include <gtest/gtest.h>

namespace {

// Counts the samples where the fast renderer and the reference differ.
int64_t CountDifferences(GeneratorState& state, int64_t frames) {
  TReferenceRenderer reference(state);
  const int bytes = state.bitsPerSample == 24 ? 3 : 2;
  const auto expected = reference.RenderFrames(frames);
  const auto actual = FillFrames(state, frames, 4093);
  int64_t differences = 0;
  for (size_t i = 0; i < expected.size(); ++i)
    if (AsStored(expected[i], bytes) != actual[i]) ++differences;
  return differences;
}

class FastVsReference : public testing::TestWithParam<TBenchSignal> {};

TEST_P(FastVsReference, GivesIdenticalSamplesOverAMillionSamples) {
  GeneratorState state;
  SetUpBenchSignal(state, GetParam());
  EXPECT_EQ(CountDifferences(state, 600000), 0);
}

INSTANTIATE_TEST_SUITE_P(BenchSignals, FastVsReference, testing::ValuesIn(AllBenchSignals),
                         [](const auto& param) { return std::string(NameOf(param.param)); });

// The other modulation functions, crest choices, filter types and a time
// index far from the start, where the fast paths must fall back more often.
TEST(FastVsReferenceVariants, GivesIdenticalSamplesForEveryFunctionCrestAndFilter) {
  for (int32_t function = mfSine; function <= mfTriangular; ++function) {
    for (int32_t crest = 0; crest < CrestChoiceCount; ++crest) {
      GeneratorState state;
      SetUpBenchSignal(state, TBenchSignal::PinkFilterMod44k, 7 + crest);
      state.left.modulationFunction = function;
      state.right.modulationFunction = (function + 1) % 4;
      state.right.modulationPeriod = 0.37f;
      state.right.modulationDepth = 0.6f;
      state.right.modulationPhase = 1.3f;
      state.left.crestIndex = state.right.crestIndex = crest;
      state.right.noiseType = ntWhite;
      CrestFactorChanged(state.left);
      CrestFactorChanged(state.right);
      state.right.filterType = ftHighPass + crest % 4;
      DesignFilter(state.filterR, state.right.filterType);
      state.frameIndex = 2000000000 - 20000 * crest;
      state.loop = false;
      state.totalFrames = 2100000000;
      EXPECT_EQ(CountDifferences(state, 20000), 0) << "function " << function << " crest " << crest;
    }
  }
}

TEST(FastVsReferenceVariants, GivesIdenticalSamplesInEveryChannelLayout) {
  struct TLayout {
    int32_t channels;
    bool asLeft;
    int32_t rightOn;
  };
  for (TLayout layout : {TLayout{cmMono, false, 1}, TLayout{cmStereo, true, 1}, TLayout{cmStereo, false, 0}}) {
    GeneratorState state;
    SetUpBenchSignal(state, TBenchSignal::PinkFilterMod44k, 21);
    state.channels = layout.channels;
    state.asLeft = layout.asLeft;
    state.right.channelOn = layout.rightOn;
    state.loop = false;
    state.totalFrames = 30011;  // ends inside a buffer: silence follows
    EXPECT_EQ(CountDifferences(state, 40000), 0) << layout.channels << layout.asLeft << layout.rightOn;
  }
}

// WAV export renders sample by sample rather than through the fill.
TEST(FastVsReferenceVariants, RenderChannelSampleGivesTheSameSamplesAsTheFill) {
  GeneratorState state;
  SetUpBenchSignal(state, TBenchSignal::PinkFilterMod44k, 33);
  state.right.modulationFunction = mfSine;
  TReferenceRenderer reference(state);
  const auto expected = reference.RenderFrames(100000);
  for (size_t i = 0; i < expected.size(); i += 2) {
    ASSERT_EQ(RenderChannelSample(state, TChannel::Left, ntPink), expected[i]) << i;
    ASSERT_EQ(RenderChannelSample(state, TChannel::Right, ntPink), expected[i + 1]) << i;
    ++state.frameIndex;
  }
}

}  // namespace
