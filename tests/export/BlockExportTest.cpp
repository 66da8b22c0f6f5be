// The export renders in blocks through the playback fill; its samples are
// those of the per-sample renderer, frame by frame, as the export once wrote
// them.

#include "engine/Render.h"
#include "tests/export/ExportFixture.h"

#include <cmath>
#include <functional>

namespace {

constexpr uint32_t kSeed = 777;

class BlockExport : public ExportFixture {
protected:
  /// Exports from kSeed; the data bytes.
  std::vector<uint8_t> ExportBlocks(const std::string& name) {
    FPinkRow12 = Gen->State.pinkRows[12];
    return DataOf(ExportSeeded(kSeed, name));
  }

  /// The data bytes of the same pass written frame by frame through
  /// RenderChannelSample from a fresh preparation; afterFrame runs after each
  /// frame with its index.
  std::vector<uint8_t> PerSampleExport(const std::function<void(uint64_t)>& afterFrame = nullptr) {
    Gen->State.random.Seed(kSeed);
    Gen->State.pinkRows[12] = FPinkRow12;  // the one row that preparation keeps
    Gen->Preparevariables();
    GeneratorState& s = Gen->State;
    s.fullScale = FullScaleFor(s.bitsPerSample);
    const bool stereo = Gen->cboChannels.ItemIndex() == cmStereo;
    const int bytes = s.bitsPerSample / 8;
    std::vector<uint8_t> data(static_cast<size_t>(s.totalFrames) * bytes * (stereo ? 2 : 1));
    uint8_t* out = data.data();
    const uint64_t frames = static_cast<uint64_t>(s.totalFrames);
    for (uint64_t i = 0; i < frames; ++i) {
      if (stereo) {
        StoreSample(out, RenderChannelSample(s, TChannel::Left, s.left.noiseType) * s.left.channelOn, bytes);
        StoreSample(out, RenderChannelSample(s, TChannel::Right, s.right.noiseType) * s.right.channelOn, bytes);
      } else {
        StoreSample(out, RenderChannelSample(s, TChannel::Left, s.left.noiseType), bytes);
      }
      ++s.frameIndex;
      if (afterFrame) afterFrame(i);
    }
    return data;
  }

  static std::vector<uint8_t> DataOf(const std::vector<uint8_t>& wav) {
    return wav.size() < 44 ? std::vector<uint8_t>{} : std::vector<uint8_t>(wav.begin() + 44, wav.end());
  }

  float FPinkRow12 = 0;
};

TEST_F(BlockExport, EveryExampleMemoryAtTheLowestAndHighestRateAndBothWidths) {
  for (int rateIndex : {0, 6}) {
    for (int quantIndex : {0, 1}) {
      Settings->cboFsList.UserSelect(rateIndex);
      Settings->cboQuant.UserSelect(quantIndex);
      ASSERT_TRUE(Gen->LoadSettings(ZEPHYRA_EXAMPLES_FILE));
      for (int memory = 1; memory <= 4; ++memory) {
        SCOPED_TRACE(testing::Message() << "rate " << Settings->cboFsList.Text() << ", "
                                        << Settings->cboQuant.Text() << " bits, memory " << memory);
        Gen->MemRecall(memory);
        const auto exported = ExportBlocks("block.wav");
        Gen->MemRecall(memory);
        const auto expected = PerSampleExport();
        ASSERT_FALSE(expected.empty());
        ASSERT_EQ(exported.size(), expected.size());
        EXPECT_TRUE(exported == expected);
      }
    }
  }
}

TEST_F(BlockExport, ALevelChangedWhileTheExportShowsProgressLandsOnTheSameFrame) {
  Settings->cboFsList.UserSelect(3);
  ASSERT_TRUE(Gen->LoadSettings(ZEPHYRA_EXAMPLES_FILE));
  Gen->MemRecall(4);  // stereo, both channels modulated
  const uint64_t frames = 10 * 44100;
  // The export shows progress after frames 0, 10000, 20000, ...; the first
  // of them that reaches 30 % is where the level changes.
  uint64_t changeFrame = 0;
  while (std::llround(changeFrame * 100.0 / frames) < 30) changeFrame += 10000;

  bool changed = false;
  Wait->ProgressBar1.AddObserver([&] {
    if (changed || Wait->ProgressBar1.Position() < 30) return;
    changed = true;
    Gen->AmplitudeLeft.SetText("-35");
  });
  const auto exported = ExportBlocks("changed.wav");
  ASSERT_TRUE(changed);

  Gen->MemRecall(4);
  const auto expected = PerSampleExport([&](uint64_t i) {
    if (i == changeFrame) Gen->AmplitudeLeft.SetText("-35");
  });
  ASSERT_EQ(exported.size(), expected.size());
  EXPECT_TRUE(exported == expected);
}

}  // namespace
