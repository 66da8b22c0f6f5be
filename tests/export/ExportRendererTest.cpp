#include "bench/engine/Configurations.h"
#include "export/ExportRenderer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Call lengths on and beside the render thread's hand-overs (every 8 blocks
// of 64 frames), with settings of both halves changed between calls, as the
// export's messages change them. Until a call has been timed on two threads
// (the short ones are not), every call goes on two threads.
TEST(ExportRenderer, GivesTheFramesOfOneThreadForCallsOfAnyLength) {
  for (const TExportLayout layout : {TExportLayout{true, 2}, TExportLayout{false, 3}}) {
    GeneratorState one;
    SetUpBenchSignal(one, TBenchSignal::PinkFilterMod192k24Bit);
    GeneratorState two = one;
    TExportRenderer renderer(two, layout, 4097);
    for (int32_t frames : {1, 63, 512, 513, 777, 4097}) {
      std::vector<uint8_t> expected(static_cast<size_t>(frames) * 6), rendered(expected.size());
      RenderExportFrames(one, layout, expected.data(), frames);
      renderer.Render(rendered.data(), frames);
      ASSERT_EQ(rendered, expected) << frames << " frames, stereo " << layout.Stereo;
      for (GeneratorState* s : {&one, &two}) {
        s->left.crestIndex = (s->left.crestIndex + 1) % CrestChoiceCount;
        CrestFactorChanged(s->left);
        s->left.amplitudeGain *= 0.7f;
      }
    }
  }
}

}  // namespace
