// Values the engine derives from the window's texts, seen in what it renders.

#include "tests/export/ExportFixture.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>

namespace {

using EngineValues = ExportFixture;

/// The 32-bit float nearest to percent / 100, found by comparing neighbours
/// exactly (a float times 100 is exact in extended precision).
float NearestHundredth(int percent) {
  const float guess = static_cast<float>(percent / 100.0);
  float best = guess;
  for (float candidate : {std::nextafter(guess, -1.0f), std::nextafter(guess, 2.0f)})
    if (std::fabs(candidate * 100.0L - percent) < std::fabs(best * 100.0L - percent)) best = candidate;
  return best;
}

TEST_F(EngineValues, EveryWholeDepthPercentageIsTheNearestFloat) {
  Gen->ModulationOnLeft.SetChecked(true);
  Gen->cboChannels.UserSelect(cmStereo);
  Gen->ModulationOnRight.SetChecked(true);
  for (int percent = 0; percent <= 100; ++percent) {
    Enter(Gen->ModDepthLeftEdit, std::to_string(percent));
    Enter(Gen->ModDepthRightEdit, std::to_string(percent));
    EXPECT_EQ(Gen->State.left.modulationDepth, NearestHundredth(percent)) << percent << " %";
    EXPECT_EQ(Gen->State.right.modulationDepth, NearestHundredth(percent)) << percent << " %";
  }
}

TEST_F(EngineValues, ATriangularPeriodNearTheSmallestFloatKeepsTheGainInsteadOfSilence) {
  Choose(3, 1, cmMono, "1");
  Gen->WaveFormLeft.UserSelect(ntWhite);  // no pink row carried from one export to the next
  Gen->ModFunctionLeft.UserSelect(mfTriangular);
  Gen->ModulationOnLeft.SetChecked(false);
  Gen->MemStore(1);
  const auto plain = ChannelSamples(ExportSeeded(5, "plain.wav"), 0);

  // A preset file can carry a period no field would accept.
  TPresetValues v = Gen->Presets[0].Values();
  v.ModulationOnLeft = true;
  v.ModPeriodLeft = "1e-45";
  v.ModDepthLeft = "100";
  Gen->Presets[0].SetValues(v);
  Gen->MemRecall(1);
  ASSERT_GT(Gen->State.left.modulationPeriod, 0.0f);
  const auto modulated = ChannelSamples(ExportSeeded(5, "triangular.wav"), 0);

  // The first frame's angle is 0: the triangle is 0 and the gain 0.5 from
  // then on, so every sample is half the unmodulated one, within rounding.
  ASSERT_EQ(modulated.size(), plain.size());
  ASSERT_FALSE(plain.empty());
  size_t off = 0;
  for (size_t i = 0; i < plain.size(); ++i) off += std::abs(modulated[i] - std::nearbyint(plain[i] * 0.5)) > 1;
  EXPECT_EQ(off, 0u);
}

TEST_F(EngineValues, ALevelTextThatDoesNotConvertTakesTheSlidersLevelNotFullScale) {
  Choose(3, 0, cmMono, "0.5");
  Gen->WaveFormLeft.UserSelect(ntWhite);
  Gen->cboCrestFactorL.UserSelect(0);  // uniform noise: the peak is the level
  const auto peakDb = [&](const std::string& name) {
    int32_t peak = 0;
    for (int32_t s : ChannelSamples(ExportSeeded(3, name), 0)) peak = std::max(peak, std::abs(s));
    return 20 * std::log10(peak / 32767.0);
  };
  Gen->barAmplitudeLeft.SetPosition(3000);
  Enter(Gen->AmplitudeLeft, "abc");
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-30");
  EXPECT_NEAR(peakDb("typed.wav"), -30, 0.1);

  Gen->MemStore(1);
  TPresetValues v = Gen->Presets[0].Values();
  v.AmplitudeLeft = "-2O";  // a letter O typed for a zero
  Gen->Presets[0].SetValues(v);
  Gen->barAmplitudeLeft.SetPosition(4500);
  Gen->MemRecall(1);
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-45");
  EXPECT_NEAR(peakDb("recalled.wav"), -45, 0.1);
}

}  // namespace
