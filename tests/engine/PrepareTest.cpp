#include "engine/Numbers.h"
#include "engine/Prepare.h"

#include <gtest/gtest.h>

namespace {

TPrepareInput Input(std::string duration = "5") {
  return {duration, {"1000", "3", "-10", ftPeaking}, {"1000", "1", "0", ftNone}};
}

TEST(Preparation, CountsFramesFromEitherSeparator) {
  GeneratorState s;
  TPrepareOutcome outcome;
  for (const char* text : {"2,5", "2.5"}) {
    Preparevariables(s, Input(text), TNumberFormat{','}, nullptr, outcome);
    EXPECT_EQ(s.totalFrames, 110250);
  }
}

TEST(Preparation, CountsLongSignalsWithoutOverflow) {
  GeneratorState s;
  s.sampleRate = 192000;
  TPrepareOutcome outcome;
  Preparevariables(s, Input("14400"), TNumberFormat{}, nullptr, outcome);
  EXPECT_EQ(s.totalFrames, int64_t{2764800000});
  EXPECT_EQ(FramesForDuration(3e38L, 192000), INT64_MAX);
}

TEST(Preparation, RestartsTheSignal) {
  GeneratorState s;
  s.frameIndex = 99;
  s.fillBusy = true;
  for (float& row : s.pinkRows) row = 0.5f;
  s.left.modulationGain = s.right.modulationGain = 0.3f;
  s.filterL.y1 = 5;
  s.channels = cmMono;
  s.bitsPerSample = 24;
  int validations = 0;
  TPrepareOutcome outcome;
  Preparevariables(s, Input(), TNumberFormat{}, [&] { ++validations; }, outcome);
  EXPECT_EQ(s.frameIndex, 0);
  EXPECT_FALSE(s.fillBusy);
  for (int row = 0; row < 12; ++row) EXPECT_EQ(s.pinkRows[row], 0);
  EXPECT_EQ(s.pinkRows[12], 0.5f);
  EXPECT_EQ(s.left.modulationGain, 1.0f);
  EXPECT_EQ(s.right.modulationGain, 1.0f);
  EXPECT_EQ(s.filterL.y1, 0);
  EXPECT_EQ(s.bytesPerFrame, 3);
  EXPECT_EQ(validations, 1);
  ASSERT_TRUE(outcome.Left && outcome.Right);
  EXPECT_TRUE(outcome.Left->GainEnabled);
  EXPECT_FALSE(outcome.Right->FZeroEnabled);
  EXPECT_NEAR(s.filterL.A, 0.562341, 1e-6);
}

TEST(Preparation, SwitchingToHighPassUsesTheQItStillShows) {
  GeneratorState s;
  TPrepareInput input = Input();
  input.Left.Type = ftHighPass;
  TPrepareOutcome outcome;
  Preparevariables(s, input, TNumberFormat{}, nullptr, outcome);
  EXPECT_EQ(s.filterL.Q, 3);
  EXPECT_TRUE(outcome.Left->QTextBecomesOne);
}

TEST(Preparation, StopsAtTheFirstTextThatDoesNotConvert) {
  GeneratorState s;
  TPrepareOutcome outcome;
  Preparevariables(s, Input(), TNumberFormat{}, nullptr, outcome);
  const double b0 = s.filterL.b0;
  s.frameIndex = 42;
  TPrepareInput input = Input("3");
  input.Left.FZero = "2000";
  input.Right.Gain = "abc";
  try {
    Preparevariables(s, input, TNumberFormat{}, nullptr, outcome);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
  }
  EXPECT_EQ(s.totalFrames, 3 * 44100);
  EXPECT_EQ(s.frameIndex, 0);
  EXPECT_EQ(s.filterL.F0, 2000);       // read before the failure
  EXPECT_EQ(s.filterL.b0, b0);         // but not designed
  EXPECT_FALSE(outcome.Left || outcome.Right);

  s.frameIndex = 42;
  EXPECT_THROW(Preparevariables(s, Input("x"), TNumberFormat{}, nullptr, outcome), EConvertError);
  EXPECT_EQ(s.frameIndex, 42);
}

TEST(Preparation, FilterTextsParseWithTheLocaleOnly) {
  GeneratorState s;
  TPrepareInput input = Input();
  input.Left.Q = "0,7";
  TPrepareOutcome outcome;
  EXPECT_THROW(Preparevariables(s, input, TNumberFormat{'.'}, nullptr, outcome), EConvertError);
  Preparevariables(s, input, TNumberFormat{','}, nullptr, outcome);
  EXPECT_DOUBLE_EQ(s.filterL.Q, 0.7);
}

}  // namespace
