#include "tests/app/GeneratorFixture.h"

#include <cmath>
#include <utility>
#include <vector>

namespace {

class AllFieldsEnabled : public GeneratorFixture {
protected:
  void SetUp() override {
    GeneratorFixture::SetUp();
    EnableAllFields();
  }
};

using LevelFields = AllFieldsEnabled;
using FieldValidation = AllFieldsEnabled;
using ModulationPeriod = AllFieldsEnabled;
using FilterFields = AllFieldsEnabled;

TEST_F(LevelFields, LeavingTheEditCleansTheTextAndMovesTheSlider) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"5", "0"}, {"-150", "-100"}, {"-12.125", "-12.12"}, {"abc", "-12.12"} /* the slider's level */, {"-3,5", "-3.5"}};
  for (const auto& [typed, shown] : cases) {
    Enter(Gen->AmplitudeLeft, typed);
    EXPECT_EQ(Gen->AmplitudeLeft.Text(), shown) << typed;
  }
  Enter(Gen->AmplitudeLeft, "-3");
  EXPECT_EQ(Gen->barAmplitudeLeft.Position(), 300);
  Enter(Gen->AmplitudeLeft, "-150");
  EXPECT_EQ(Gen->barAmplitudeLeft.Position(), 10000);
}

TEST_F(LevelFields, TheSliderWritesTheEditAndTheGainFollowsAtOnce) {
  Gen->barAmplitudeRight.SetPosition(1250);
  EXPECT_EQ(Gen->AmplitudeRight.Text(), "-12.5");
  EXPECT_NEAR(Gen->State.right.amplitudeGain, std::pow(10.0, -12.5 / 20), 1e-7);
}

TEST_F(LevelFields, TypingSetsTheGainAndATextThatDoesNotParseKeepsIt) {
  Gen->AmplitudeLeft.SetText("-20");
  EXPECT_NEAR(Gen->State.left.amplitudeGain, 0.1f, 1e-7);
  Gen->AmplitudeLeft.SetText("-");
  EXPECT_NEAR(Gen->State.left.amplitudeGain, 0.1f, 1e-7);
}

TEST_F(LevelFields, TheLevelUsesTheLocaleSeparatorWhileTypingButAcceptsBothOnExit) {
  Format.DecimalSeparator = ',';
  Create();
  EnableAllFields();
  Gen->AmplitudeLeft.SetText("-6,5");
  EXPECT_NEAR(Gen->State.left.amplitudeGain, std::pow(10.0, -6.5 / 20), 1e-6);
  Enter(Gen->AmplitudeLeft, "-7.25");
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-7,25");
  EXPECT_EQ(Gen->barAmplitudeLeft.Position(), 725);
}

TEST_F(FieldValidation, DurationDepthAndPhaseAreCleanedOnExit) {
  const std::vector<std::tuple<TEdit*, std::string, std::string>> cases{
      {&Gen->Duration, "0.05", "0.1000000015"}, {&Gen->Duration, "", "1"},
      {&Gen->Duration, "2,5", "2.5"},          {&Gen->ModDepthLeftEdit, "150", "100"},
      {&Gen->ModDepthRightEdit, "", "100"},    {&Gen->ModPhaseLeftEdit, "-90", "0"},
      {&Gen->ModPhaseRightEdit, "45", "45"}};
  for (const auto& [edit, typed, shown] : cases) {
    Enter(*edit, typed);
    EXPECT_EQ(edit->Text(), shown) << edit->Name() << " " << typed;
  }
}

TEST_F(FieldValidation, DepthAndPhaseTakeEffectWhileTyping) {
  Gen->ModDepthLeftEdit.SetText("40");
  EXPECT_FLOAT_EQ(Gen->State.left.modulationDepth, 0.4f);
  Gen->ModDepthLeftEdit.SetText("");
  EXPECT_FLOAT_EQ(Gen->State.left.modulationDepth, 0.4f) << "an empty depth keeps the value";
  Gen->ModPhaseRightEdit.SetText("90");
  EXPECT_NEAR(Gen->State.right.modulationPhase, 1.5707963f, 1e-6);
}

TEST_F(ModulationPeriod, LeavingTheFieldShowsThreeDecimalsAndRefusesZero) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"2.34567", "2.346"}, {"abc", "1"}, {"0", "1"}, {"-2", "1"}, {"0.0001", "1"}, {"0.5", "0.5"}};
  for (const auto& [typed, shown] : cases) {
    Enter(Gen->ModPeriodLeftEdit, typed);
    EXPECT_EQ(Gen->ModPeriodLeftEdit.Text(), shown) << typed;
    EXPECT_GT(Gen->State.left.modulationPeriod, 0) << typed;
  }
}

TEST_F(ModulationPeriod, ZeroWhileStoppedCanBeTypedOnTheWayToAFraction) {
  Gen->ModPeriodRightEdit.SetText("0");
  EXPECT_EQ(Gen->ModPeriodRightEdit.Text(), "0");
  Gen->ModPeriodRightEdit.SetText("0.25");
  EXPECT_FLOAT_EQ(Gen->State.right.modulationPeriod, 0.25f);
}

TEST_F(ModulationPeriod, ZeroWhilePlayingStopsTheOutputAndShowsOne) {
  StartOutput();
  ASSERT_TRUE(Gen->AudioOut1->Active);
  Gen->ModPeriodLeftEdit.SetText("0");
  EXPECT_FALSE(Gen->AudioOut1->Active);
  EXPECT_EQ(Gen->ModPeriodLeftEdit.Text(), "1");
  EXPECT_FLOAT_EQ(Gen->State.left.modulationPeriod, 1.0f);
}

TEST_F(FilterFields, FrequencyIsCutToHalfTheSampleRateInUse) {
  Settings->cboFsList.UserSelect(3);  // 44100
  Enter(Gen->txtFZeroL, "30000");
  EXPECT_EQ(Gen->txtFZeroL.Text(), "22050");
  Settings->cboFsList.UserSelect(0);  // 8000
  Enter(Gen->txtFZeroR, "30000");
  EXPECT_EQ(Gen->txtFZeroR.Text(), "4000");
}

TEST_F(FilterFields, EveryFilterFieldValidatesAndRestartsTheSignal) {
  const std::vector<std::tuple<TEdit*, std::string, std::string>> cases{
      {&Gen->txtQL, "0", "0.01"},   {&Gen->txtQR, "abc", "1"},     {&Gen->txtGainL, "x", "0"},
      {&Gen->txtGainR, "-3,5", "-3.5"}, {&Gen->txtFZeroR, "", "1000"}, {&Gen->txtFZeroL, "0.5", "1"}};
  for (const auto& [edit, typed, shown] : cases) {
    Gen->State.frameIndex = 1234;
    Enter(*edit, typed);
    EXPECT_EQ(edit->Text(), shown) << edit->Name();
    EXPECT_EQ(Gen->State.frameIndex, 0) << edit->Name() << " prepares";
  }
}

TEST_F(FilterFields, HighPassEnablesOnlyTheFrequencyAndResetsQ) {
  Gen->cboFilterTypeL1.UserSelect(ftHighPass);
  EXPECT_TRUE(Gen->txtFZeroL.Enabled());
  EXPECT_FALSE(Gen->txtGainL.Enabled());
  EXPECT_FALSE(Gen->txtQL.Enabled());
  EXPECT_EQ(Gen->txtQL.Text(), "1");
  Gen->cboFilterTypeL1.UserSelect(ftPeaking);
  EXPECT_TRUE(Gen->txtGainL.Enabled());
  EXPECT_TRUE(Gen->txtQL.Enabled());
}

TEST_F(FilterFields, ADurationThatDoesNotConvertEndsTheCommandWithTheConversionError) {
  Gen->Duration.SetText("abc");
  App.Perform([&] { Gen->cboFilterTypeR1.UserSelect(ftNotch); });
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_EQ(Dialogs.Errors[0], "'abc' is not a valid floating point value");
}

}  // namespace
