#include "bench/engine/Configurations.h"
#include "export/ExportRenderer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Call lengths on and beside the blocks of 128 frames the render thread
// hands over, with settings of both halves changed between calls, as the
// export's messages change them. Until a call has been timed on two threads
// (the short ones are not), every call goes on two threads.
// Variant 1: the right channel white, modulated and filtered otherwise
// than the left; variant 2: the right channel switched off; variant 3: the
// left gain stays as it is.
GeneratorState Variant(int variant) {
  GeneratorState state;
  SetUpBenchSignal(state, TBenchSignal::PinkFilterMod192k24Bit);
  if (variant == 1) {
    state.right.noiseType = ntWhite;
    CrestFactorChanged(state.right);
    state.right.modulationFunction = mfSquare;
    state.right.modulationPeriod = 0.013f;
    SetFilterInputs(state.filterR, 5000, 2, 12, state.sampleRate);
    DesignFilter(state.filterR, ftPeaking);
  }
  if (variant == 3) {  // a period so short that the left gain stays as it was after the first frame
    state.left.modulationFunction = mfTriangular;
    state.left.modulationPeriod = 1e-40f;
  }
  state.right.channelOn = variant != 2;
  return state;
}

// The halves of each block in the order two threads may run them, the first
// half levelling the channels a pattern names (0 neither, 1 the left, 2 the
// right, 3 both): the frames of one thread.
TEST(ExportRenderer, HalvesGiveTheFramesOfOneThreadWhicheverHalfLevelsAChannel) {
  constexpr int32_t kBlocks = 40;
  for (int variant = 0; variant < 4; ++variant)
  for (const char* pattern : {"0123", "3333", "3021", "1", "2"}) {
    GeneratorState one = Variant(variant), two = one, ahead = one;
    std::vector<uint8_t> expected(kBlocks * TRenderBlock::Frames * 4), rendered(expected.size());
    RenderExportFrames(one, {true, 2}, expected.data(), kBlocks * TRenderBlock::Frames);
    std::vector<TRenderBlock> blocks(kBlocks);
    for (int32_t b = 0; b < kBlocks; ++b) {
      const int levels = pattern[b % std::strlen(pattern)] - '0';
      RenderExportNoise(ahead, {true, 2}, blocks[b], TRenderBlock::Frames,
                        ChannelsAhead(levels & 1, levels & 2, b > 0 ? &blocks[b - 1] : nullptr));
    }
    TakeNoiseState(two, ahead);
    uint8_t* out = rendered.data();
    for (TRenderBlock& block : blocks) out = FinishExportBlock(two, {true, 2}, block, out);
    ASSERT_EQ(rendered, expected) << "variant " << variant << ", pattern " << pattern;
    EXPECT_EQ(two.left.modulationGain, one.left.modulationGain);
    EXPECT_EQ(two.right.modulationGain, one.right.modulationGain);
  }
}

TEST(ExportRenderer, GivesTheFramesOfOneThreadForCallsOfAnyLength) {
  for (int variant = 0; variant < 4; ++variant)
  for (const TExportLayout layout : {TExportLayout{true, 2}, TExportLayout{false, 3}}) {
    GeneratorState one = Variant(variant);
    GeneratorState two = one;
    TExportRenderer renderer(two, layout, 4097);
    for (int32_t frames : {1, 127, 1024, 1025, 777, 4097}) {
      std::vector<uint8_t> expected(static_cast<size_t>(frames) * 6), rendered(expected.size());
      RenderExportFrames(one, layout, expected.data(), frames);
      renderer.Render(rendered.data(), frames);
      ASSERT_EQ(rendered, expected) << frames << " frames, stereo " << layout.Stereo << ", variant " << variant;
      for (GeneratorState* s : {&one, &two}) {
        s->left.crestIndex = (s->left.crestIndex + 1) % CrestChoiceCount;
        CrestFactorChanged(s->left);
        s->left.amplitudeGain *= 0.7f;
      }
    }
  }
}

}  // namespace
