// The four memory presets of the main window and the preset file commands.

#include "persistence/FileError.h"
#include "persistence/PresetFile.h"
#include "tests/app/GeneratorFixture.h"
#include "tests/persistence/ChildProcess.h"
#include "tests/persistence/PresetSamples.h"
#include "tests/persistence/TempDir.h"

#include "engine/Numbers.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <sys/stat.h>

/// Failures show the values, not the bytes of the struct.
void PrintTo(const TPresetValues& v, std::ostream* os) {
  for (const auto& f : kPresetTextFields) *os << f.Key << "='" << v.*f.Member << "' ";
  for (const auto& f : kPresetIndexFields) *os << f.Key << "=" << v.*f.Member << " ";
  for (const auto& f : kPresetFlagFields) *os << f.Key << "=" << v.*f.Member << " ";
}

namespace {

using MemoryPresets = GeneratorFixture;
using PresetFiles = GeneratorFixture;

/// Every one of the 30 settings away from its start-up value, each valid as typed.
void ChangeEverySetting(TfrmGenerator& g) {
  g.Duration.SetText("3");
  g.Loop.SetChecked(false);
  g.cboChannels.UserSelect(cmStereo);
  g.RightTick.SetChecked(false);
  g.AmplitudeLeft.SetText("-12");
  g.AmplitudeRight.SetText("-24");
  g.WaveFormLeft.UserSelect(0);
  g.WaveFormRight.UserSelect(1);
  g.ModulationOnLeft.SetChecked(true);
  g.ModulationOnRight.SetChecked(true);
  g.ModPeriodLeftEdit.SetText("2");
  g.ModPeriodRightEdit.SetText("4");
  g.ModDepthLeftEdit.SetText("50");
  g.ModDepthRightEdit.SetText("25");
  g.ModFunctionLeft.UserSelect(mfSquare);
  g.ModFunctionRight.UserSelect(3);
  g.ModPhaseLeftEdit.SetText("90");
  g.ModPhaseRightEdit.SetText("180");
  g.cboCrestFactorL.UserSelect(1);
  g.cboCrestFactorR.UserSelect(6);
  g.cboFilterTypeL1.UserSelect(ftPeaking);
  g.txtFZeroL.SetText("2500");
  g.txtGainL.SetText("-6");
  g.txtQL.SetText("2");
  g.cboFilterTypeR1.UserSelect(4);
  g.txtFZeroR.SetText("300");
  g.txtGainR.SetText("3");
  g.txtQR.SetText("0.5");
}

/// The settings of the controls as preset 4 records them.
TPresetValues ControlValues(TfrmGenerator& g) {
  const MemoryPreset saved = g.Presets[3];
  g.MemStore(4);
  TPresetValues v = g.Presets[3].Values();
  g.Presets[3] = saved;
  v.Name.clear();
  return v;
}

TEST_F(MemoryPresets, StoreChangeAndRecallBringsEverySettingBackButNotTheName) {
  ChangeEverySetting(*Gen);
  const TPresetValues stored = ControlValues(*Gen);
  Gen->StorePreset2.Click();
  Gen->rESETTOdEFAULT1.Click();
  Gen->chkAsLeft.SetChecked(true);
  ASSERT_NE(ControlValues(*Gen), stored);
  Gen->RecallPreset2.Click();
  EXPECT_EQ(ControlValues(*Gen), stored);
  EXPECT_EQ(Gen->Presets[1].Name(), "Memory 2");
  EXPECT_EQ(Gen->Memory2.Caption(), "Memory 2");
  EXPECT_EQ(Gen->cboChannels.ItemIndex(), cmStereo);
  EXPECT_TRUE(Gen->Lefttick.Checked());
  EXPECT_FALSE(Gen->RightTick.Checked()) << "stereo with the right channel off comes back so";
  EXPECT_EQ(Gen->barAmplitudeRight.Position(), 2400) << "the recall validates the levels and moves the sliders";
}

TEST_F(MemoryPresets, StartUpFillsEveryPresetFromTheControlsWithDefaultNames) {
  for (int n = 1; n <= 4; ++n) {
    TPresetValues v = Gen->Presets[static_cast<size_t>(n - 1)].Values();
    EXPECT_EQ(v.Name, "Memory " + std::to_string(n));
    v.Name.clear();
    EXPECT_EQ(v, ControlValues(*Gen));
  }
}

TEST_F(MemoryPresets, HandMadeBytesRecallAsStereoAndAsListsWithoutSelection) {
  MemoryPreset& p = Gen->Presets[0];
  p.Bytes()[static_cast<size_t>(TPresetFlag::Mono)] = 2;
  p.SetIndex(TPresetIndex::WaveFormLeft, 7);
  p.SetIndex(TPresetIndex::FilterTypeRight, -5);
  p.SetIndex(TPresetIndex::CrestFactorLeft, 1000);
  Gen->MemRecall(1);
  EXPECT_EQ(Gen->cboChannels.ItemIndex(), cmStereo);
  EXPECT_EQ(Gen->WaveFormLeft.ItemIndex(), -1);
  EXPECT_EQ(Gen->cboFilterTypeR1.ItemIndex(), -1);
  EXPECT_EQ(Gen->cboCrestFactorL.ItemIndex(), -1);
}

TEST_F(MemoryPresets, RecallStopsTheOutputAndStartsItAgainOnlyWithAutostart) {
  StartOutput();
  Gen->MemRecall(1);
  Loop.ProcessMessages();
  EXPECT_FALSE(Gen->AudioOut1->Active);
  EXPECT_FALSE(Gen->AutostartRecalledPresets1.Checked());
  Gen->AutostartRecalledPresets1.Click();
  ASSERT_TRUE(Gen->AutostartRecalledPresets1.Checked());
  Gen->MemRecall(1);
  Loop.ProcessMessages();
  EXPECT_TRUE(Gen->AudioOut1->Active);
}

TEST_F(MemoryPresets, NumbersOutsideOneToFourAreIgnored) {
  const TPresetBank before = Gen->Presets;
  const TPresetValues controls = ControlValues(*Gen);
  Gen->Presets[0].SetText(TPresetText::Duration, "77");
  Gen->MemStore(0);
  Gen->MemStore(5);
  Gen->MemRecall(-1);
  Gen->MemRecall(5);
  EXPECT_EQ(ControlValues(*Gen), controls);
  EXPECT_EQ(Gen->Presets[1].Values(), before[1].Values());
}

TEST_F(MemoryPresets, RenameTakesTheTypedNameOnEnterAndAnEmptyOneOnLeaving) {
  Gen->Rename1.Click();  // preset 2
  EXPECT_EQ(Gen->Memory2.Caption(), "");
  EXPECT_TRUE(Gen->Mem2Edit.Visible());
  EXPECT_EQ(Gen->ActiveControl(), &Gen->Mem2Edit);
  EXPECT_EQ(Gen->DefaultButton(), nullptr) << "Enter must not start the output while naming";
  Gen->Mem2Edit.SetText("Pink 1k");
  Gen->Mem1EditKeyPress(2, 13);
  EXPECT_EQ(Gen->Memory2.Caption(), "Pink 1k");
  EXPECT_EQ(Gen->Presets[1].Name(), "Pink 1k");
  EXPECT_FALSE(Gen->Mem2Edit.Visible());
  EXPECT_FALSE(Gen->Mem2Edit.Enabled());
  EXPECT_EQ(Gen->DefaultButton(), &Gen->btnON);

  Gen->Rename3.Click();  // preset 4
  Gen->SetFocus(Gen->chkSync);
  EXPECT_EQ(Gen->Memory4.Caption(), "");
  EXPECT_EQ(Gen->Presets[3].Name(), "");
  EXPECT_EQ(Gen->Memory2.Caption(), "Pink 1k");
}

TEST_F(PresetFiles, SaveAndLoadCommandsRoundTripAllFourPresetsAndLeaveTheControls) {
  TTempDir dir;
  const std::string path = dir.File("set.zep");
  for (int n = 0; n < 4; ++n) Gen->Presets[static_cast<size_t>(n)].SetValues(DistinctPresetValues(n));
  const TPresetBank saved = Gen->Presets;
  Dialogs.Paths.push_back(path);
  Gen->SavePresetsAs1.Click();
  ASSERT_EQ(Dialogs.FileDialogs.size(), 1u);
  EXPECT_EQ(Dialogs.FileDialogs[0].Title, "Save KAV presets");
  EXPECT_EQ(Dialogs.FileDialogs[0].Filter, "ZEP presets|*.zep");
  EXPECT_EQ(Dialogs.FileDialogs[0].DefaultExt, "ZEP");
  EXPECT_FALSE(Dialogs.FileDialogs[0].OverwritePrompt);
  EXPECT_EQ(std::filesystem::file_size(path), kPresetFileSize);

  const TPresetValues controls = ControlValues(*Gen);
  Gen->InitMemoryPresets();
  StartOutput();
  Dialogs.Paths.push_back(path);
  Gen->LoadPresets1.Click();
  Loop.ProcessMessages();
  EXPECT_FALSE(Gen->AudioOut1->Active) << "loading stops the output";
  EXPECT_EQ(Dialogs.FileDialogs[1].Title, "Open preset file");
  EXPECT_EQ(Dialogs.FileDialogs[1].Filter, "Zephyra Presets|*.zep");
  EXPECT_EQ(Dialogs.FileDialogs[1].DefaultExt, "zep");
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(Gen->Presets[i].Values(), saved[i].Values()) << "preset " << i + 1;
  EXPECT_EQ(Gen->Memory1.Caption(), saved[0].Name());
  EXPECT_EQ(Gen->Memory4.Caption(), saved[3].Name());
  EXPECT_EQ(ControlValues(*Gen), controls) << "nothing is recalled by a load";
}

TEST_F(PresetFiles, AFileWithCommaDecimalsRecallsToTheSameNumbers) {
  TTempDir dir;
  TPresetBank bank;
  MemoryPreset& p = bank[0];
  p.SetValues(ControlValues(*Gen));
  p.SetText(TPresetText::Duration, "2,5");
  p.SetText(TPresetText::AmplitudeLeft, "-6,5");
  p.SetText(TPresetText::FZeroLeft, "1500,5");
  p.SetText(TPresetText::QLeft, "0,7");
  SavePresetFile(dir.File("comma.zep"), bank);
  Settings->cboFsList.UserSelect(3);  // 44100 Hz: 2.5 s is a whole number of frames
  ASSERT_TRUE(Gen->LoadSettings(dir.File("comma.zep")));
  Gen->MemRecall(1);
  EXPECT_EQ(TryStrToFloat(Gen->Duration.Text(), Format), 2.5L);
  EXPECT_EQ(TryStrToFloat(Gen->AmplitudeLeft.Text(), Format), -6.5L);
  EXPECT_EQ(TryStrToFloat(Gen->txtFZeroL.Text(), Format), 1500.5L);
  EXPECT_EQ(TryStrToFloat(Gen->txtQL.Text(), Format), 0.7L);
  EXPECT_EQ(Gen->State.totalFrames, 110250);
}

TEST_F(PresetFiles, AFileThatCannotBeReadIsReportedAndAWrongHeaderChangesNothing) {
  TTempDir dir;
  Dialogs.Paths.push_back(dir.File("missing.zep"));
  App.Perform([&] { Gen->LoadPresets1.Click(); });
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_EQ(Dialogs.Errors[0].rfind("Cannot open file \"" + dir.File("missing.zep") + "\".", 0), 0u);

  WriteBytes(dir.File("other.zep"), std::vector<uint8_t>(kPresetFileSize, 'x'));
  const TPresetBank before = Gen->Presets;
  EXPECT_FALSE(Gen->LoadSettings(dir.File("other.zep")));
  EXPECT_EQ(Gen->Presets[0].Values(), before[0].Values());
  EXPECT_EQ(Gen->Memory1.Caption(), "Memory 1");
  Dialogs.Paths.push_back(dir.File("other.zep"));
  App.Perform([&] { Gen->LoadPresets1.Click(); });
  ASSERT_EQ(Dialogs.Errors.size(), 2u) << "the menu's load says why, as the command line does";
  EXPECT_EQ(Dialogs.Errors[1].rfind("'" + dir.File("other.zep") + "' is not a preset file: ", 0), 0u);
}

using PresetFilesDeathTest = PresetFiles;

TEST_F(PresetFilesDeathTest, SavingOntoANamedPipeIsRefusedWithAMessageInsteadOfWaiting) {
  TTempDir dir;
  const std::string pipe = dir.File("pipe.zep");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
  auto save = [&] {
    Watchdog();
    Dialogs.Paths.push_back(pipe);
    App.Perform([&] { Gen->SavePresetsAs1.Click(); });
    ExitChild(Dialogs.Errors.size() == 1, Dialogs.Errors.empty() ? "no message" : Dialogs.Errors[0]);
  };
  EXPECT_EXIT(save(), testing::ExitedWithCode(0), "^Cannot create file \".*/pipe.zep\"\\. No such device$");
}

TEST_F(PresetFiles, StartUpLoadsTheExamplesOrTheNamedPresetFileByTheFirstArgument) {
  TTempDir dir;
  TPresetBank bank;
  bank[0].SetName("Example");
  SavePresetFile(dir.File("Examples.zep"), bank);
  bank[0].SetName("Named");
  SavePresetFile(dir.File("set.zep"), bank);
  const std::string folder = dir.Path().string();

  EXPECT_TRUE(Gen->LoadStartupPresets("/nosplash", folder));
  EXPECT_EQ(Gen->Memory1.Caption(), "Example");
  EXPECT_TRUE(Gen->LoadStartupPresets(dir.File("set.zep"), folder));
  EXPECT_EQ(Gen->Memory1.Caption(), "Named");
  Gen->Memory1.SetCaption("Memory 1");
  EXPECT_TRUE(Gen->LoadStartupPresets(dir.File("set.ZEP"), folder)) << "a full stop: not even the examples";
  EXPECT_EQ(Gen->Memory1.Caption(), "Memory 1");
  EXPECT_TRUE(Dialogs.Errors.empty());

  std::filesystem::create_directory(dir.File("folder.zep"));
  EXPECT_FALSE(Gen->LoadStartupPresets(dir.File("folder.zep"), folder)) << "exists but cannot be read";
  EXPECT_EQ(Dialogs.Errors.size(), 1u);
}

TEST_F(PresetFiles, TheWelcomeQuestionIsAskedUntilItsBoxIsTicked) {
  const auto welcomes = [&] {
    return std::count_if(Dialogs.Questions.begin(), Dialogs.Questions.end(),
                         [](const std::string& q) { return q.starts_with("Welcome to Zephyra!"); });
  };
  EXPECT_EQ(welcomes(), 1);
  Dialogs.Answers.push_back({TModalResult::Yes, true});
  Create();
  EXPECT_EQ(welcomes(), 2);
  EXPECT_EQ(Shell.HelpTopics.back(), 10) << "Yes opens the introduction";
  Create();
  EXPECT_EQ(welcomes(), 2);
}

}  // namespace
