#include "bench/engine/Configurations.h"
#include "export/ExportRenderer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Call lengths on and beside the render thread's hand-overs (every 8 blocks
// of 64 frames), with settings of both halves changed between calls, as the
// export's messages change them. Until a call has been timed on two threads
// (the short ones are not), every call goes on two threads.
// Variant 1: the right channel white, modulated and filtered otherwise
// than the left; variant 2: the right channel switched off.
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
  state.right.channelOn = variant != 2;
  return state;
}

TEST(ExportRenderer, GivesTheFramesOfOneThreadForCallsOfAnyLength) {
  for (int variant = 0; variant < 3; ++variant)
  for (const TExportLayout layout : {TExportLayout{true, 2}, TExportLayout{false, 3}}) {
    GeneratorState one = Variant(variant);
    GeneratorState two = one;
    TExportRenderer renderer(two, layout, 4097);
    for (int32_t frames : {1, 63, 512, 513, 777, 4097}) {
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
