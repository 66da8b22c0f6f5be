#include "tools/PresetDefinition.h"

#include <gtest/gtest.h>

#include <charconv>
#include <string>

namespace {

constexpr char kDefaults[] = R"(
[Defaults]
Name = Unnamed
Duration = 10
Loop = 1
Mono = 1
LeftTick = 1
RightTick = 1
AsLeft = 0
AmplitudeLeft = 0
AmplitudeRight = 0
WaveFormLeft = 1
WaveFormRight = 1
CrestFactorLeft = 4
CrestFactorRight = 4
ModulationOnLeft = 0
ModulationOnRight = 0
ModPeriodLeft = 1
ModPeriodRight = 1
ModDepthLeft = 100
ModDepthRight = 100
ModFunctionLeft = 0
ModFunctionRight = 0
ModPhaseLeft = 0
ModPhaseRight = 0
FilterTypeLeft = 0
FilterTypeRight = 0
FZeroLeft = 1000
FZeroRight = 1000
GainLeft = 0
GainRight = 0
QLeft = 1
QRight = 1
)";  // 34 lines; the line after "[Memory 1]" is line 35

std::string Definition(const std::string& memoryOne) {
  return kDefaults + ("[Memory 1]\n" + memoryOne) + "\n[Memory 2]\nName = Two\n[Memory 3]\nName = Three\n[Memory 4]\nName = Four\n";
}

std::string ErrorOf(const std::string& text) {
  try {
    ParsePresetDefinition(text);
  } catch (const TDefinitionError& e) {
    return e.what();
  }
  return "no error";
}

TEST(PresetDefinition, MemoriesTakeTheDefaultsForWhatTheyLeaveOut) {
  auto bank = ParsePresetDefinition(Definition("Name = One\n  # comment\nFilterTypeLeft = 4\n  QLeft = 1.41  \n"));
  EXPECT_EQ(bank[0].Name(), "One");
  EXPECT_EQ(bank[0].Index(TPresetIndex::FilterTypeLeft), 4);
  EXPECT_EQ(bank[0].Text(TPresetText::QLeft), "1.41");
  EXPECT_EQ(bank[0].Text(TPresetText::QRight), "1");
  EXPECT_EQ(bank[3].Name(), "Four");
  EXPECT_TRUE(bank[3].Flag(TPresetFlag::Mono));
  EXPECT_EQ(bank[3].Text(TPresetText::FZeroRight), "1000");
}

TEST(PresetDefinition, RejectsValuesThatNotEveryBuildAndLocaleReadAlike) {
  const std::pair<std::string, std::string> cases[] = {
      {"WaveFormLeft = 2", "line 35: WaveFormLeft must be a list index from 0 to 1"},
      {"CrestFactorRight = -1", "line 35: CrestFactorRight must be a list index from 0 to 6"},
      {"FilterTypeLeft = 6", "line 35: FilterTypeLeft must be a list index from 0 to 5"},
      {"Mono = 2", "line 35: Mono must be 0 or 1"},
      {"ModPeriodLeft = 0.5", "line 35: ModPeriodLeft must be an integer"},
      {"ModDepthRight = 50,5", "line 35: ModDepthRight must be a number written with '.'"},
      {"QLeft = inf", "line 35: QLeft must be a number written with '.'"},
      {"FZeroRight = 4001", "line 35: FZeroRight must lie within 1 .. 4000 Hz"},
      {"Name = Caf\xC3\xA9", "line 35: a name must be printable ASCII, at most 255 characters"},
      {"Colour = red", "line 35: unknown key Colour"},
      {"Loop = 1\nLoop = 0", "line 36: Loop is set twice"},
      {"no equals sign", "line 35: expected Key = Value"},
      {"[Memory 5]", "line 35: unknown section [Memory 5]"},
      {"[Memory 2]", "line 36: section [Memory 2] appears twice"},
  };
  for (const auto& [line, error] : cases) EXPECT_EQ(ErrorOf(Definition(line)), error) << line;
}

TEST(PresetDefinition, EveryValueMustBeGivenAndEveryMemoryPresent) {
  EXPECT_EQ(ErrorOf("\n[Memory 1]\nName = A\n"), "line 2: no value for Duration");
  std::string withoutFour = Definition("");
  withoutFour.resize(withoutFour.find("[Memory 4]"));
  EXPECT_EQ(ErrorOf(withoutFour), "no section [Memory 4]");
}

TEST(ExamplesFile, HoldsFourNamedPresetsWithValuesValidEverywhere) {
  TPresetBank bank;
  ASSERT_TRUE(LoadPresetFile(ZEPHYRA_EXAMPLES_FILE, bank)) << "header";
  const std::string names[] = {"Pink Noise", "Pink 1 kHz Band", "White High Pass", "Slow Stereo Sweep"};
  for (int n = 0; n < 4; ++n) {
    const MemoryPreset& p = bank[n];
    EXPECT_EQ(p.Name(), names[n]);
    uint8_t mono = p.Bytes()[static_cast<size_t>(TPresetFlag::Mono)];
    EXPECT_TRUE(mono == 0 || mono == 1) << n;
    for (auto f : {TPresetText::FZeroLeft, TPresetText::FZeroRight}) {
      std::string text = p.Text(f);
      double hz = 0;
      std::from_chars(text.data(), text.data() + text.size(), hz);
      EXPECT_TRUE(hz >= 1 && hz <= 4000) << n << " " << text;
    }
  }
  EXPECT_EQ(bank[1].Index(TPresetIndex::FilterTypeLeft), 4);   // Band Pass
  EXPECT_EQ(bank[2].Index(TPresetIndex::WaveFormLeft), 0);     // White Noise
  EXPECT_EQ(bank[2].Index(TPresetIndex::FilterTypeRight), 2);  // High Pass
  EXPECT_FALSE(bank[3].Flag(TPresetFlag::Mono));
  EXPECT_TRUE(bank[3].Flag(TPresetFlag::ModulationOnRight));
}

}  // namespace
