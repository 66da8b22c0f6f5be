// The stored settings: loaded while the output settings window is created,
// written when it and the main window close.

#include "persistence/RegFileStore.h"
#include "tests/app/GeneratorFixture.h"
#include "tests/persistence/ChildProcess.h"
#include "tests/persistence/TempDir.h"

#include <functional>
#include <map>
#include <optional>
#include <sys/stat.h>

namespace {

using StoredSettings = GeneratorFixture;

/// Every stored generator setting by control name, as shown.
std::map<std::string, std::string> GeneratorValues(const TfrmGenerator& g) {
  std::map<std::string, std::string> values;
  for (const TControl* c : g.Controls()) {
    if (auto* e = dynamic_cast<const TEdit*>(c); e && !e->Name().starts_with("Mem")) values[c->Name()] = e->Text();
    if (auto* l = dynamic_cast<const TComboBox*>(c)) values[c->Name()] = std::to_string(l->ItemIndex());
    if (auto* b = dynamic_cast<const TCheckBox*>(c); b && c != &g.chkSync) values[c->Name()] = b->Checked() ? "1" : "0";
  }
  values["autostart"] = g.AutostartRecalledPresets1.Checked() ? "1" : "0";
  return values;
}

void ChangeGeneratorSettings(TfrmGenerator& g) {
  g.cboChannels.UserSelect(cmStereo);
  g.RightTick.SetChecked(false);
  g.Duration.SetText("7.5");
  g.Loop.SetChecked(false);
  g.AmplitudeLeft.SetText("-3");
  g.AmplitudeRight.SetText("-9");
  g.WaveFormLeft.UserSelect(0);
  g.ModulationOnRight.SetChecked(true);
  g.ModPeriodRightEdit.SetText("3");
  g.ModDepthRightEdit.SetText("40");
  g.ModFunctionRight.UserSelect(mfSquare);
  g.ModPhaseRightEdit.SetText("45");
  g.cboCrestFactorL.UserSelect(0);
  g.cboFilterTypeR1.UserSelect(ftPeaking);
  g.txtFZeroR.SetText("440");
  g.txtGainR.SetText("-12");
  g.txtQR.SetText("4");
  g.AutostartRecalledPresets1.Click();
}

/// The store's values with one value renamed or removed.
TSettingsValues Without(TSettingsStore& store, const std::string& name) {
  TSettingsValues values = *store.Read();
  values.erase(name);
  return values;
}

TEST_F(StoredSettings, AFirstRunGivesTheOutputDefaultsAndTheResetQuietly) {
  EXPECT_EQ(Settings->cboFsList.Text(), "11025");
  EXPECT_EQ(Settings->cboBuffers.Text(), "4");
  EXPECT_EQ(Settings->cboBufferSize.Text(), "16384");
  EXPECT_EQ(Settings->cboQuant.Text(), "16");
  EXPECT_TRUE(Settings->chkDisableSS.Checked());
  EXPECT_EQ(Gen->State.sampleRate, 11025);
  EXPECT_EQ(Gen->Duration.Text(), "10");
  EXPECT_TRUE(Gen->Loop.Checked());
  EXPECT_EQ(Gen->WaveFormLeft.Text(), "Pink Noise");
  EXPECT_EQ(Gen->ModFunctionRight.ItemIndex(), mfSine);
  EXPECT_EQ(Gen->cboChannels.ItemIndex(), cmMono);
  EXPECT_TRUE(Dialogs.Errors.empty());
  EXPECT_EQ(Gen->Presets[0].Name(), "Memory 1");
}

TEST_F(StoredSettings, ClosingAndStartingAgainRestoresEveryGeneratorAndOutputValue) {
  ChangeGeneratorSettings(*Gen);
  Settings->cboFsList.UserSelect(4);
  Settings->cboQuant.UserSelect(1);
  Settings->chkDisableSS.SetChecked(false);
  Settings->Button1.Click();
  const auto before = GeneratorValues(*Gen);
  Gen->Close();
  Create();
  EXPECT_EQ(GeneratorValues(*Gen), before);
  EXPECT_EQ(Settings->cboFsList.Text(), "48000");
  EXPECT_EQ(Settings->cboQuant.Text(), "24");
  EXPECT_FALSE(Settings->chkDisableSS.Checked());
  EXPECT_EQ(Gen->State.sampleRate, 48000);
  EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(StoredSettings, TheDeviceIsFoundAgainByItsNameWhenTheListHasChanged) {
  Device.Names = {"Desk Speakers", "USB Interface"};
  Create();
  Gen->WaveDevice.UserSelect(2);
  Gen->Close();
  Device.Names = {"Headphones", "Desk Speakers", "USB Interface"};  // a device plugged in ahead of it
  Create();
  EXPECT_EQ(Gen->WaveDevice.Text(), "USB Interface");
  Gen->Close();
  Device.Names = {"Desk Speakers", "Headphones", "Line Out"};  // gone: the stored index, as before
  Create();
  EXPECT_EQ(Gen->WaveDevice.Text(), "Line Out");
}

TEST_F(StoredSettings, AMissingLastValueEndsInTheResetButKeepsTheAutostartMark) {
  ChangeGeneratorSettings(*Gen);
  Gen->Close();
  Store = TMemorySettingsStore(Without(Store, "AsLeft"));
  Create();
  EXPECT_EQ(Gen->Duration.Text(), "10");
  EXPECT_EQ(Gen->cboChannels.ItemIndex(), cmMono);
  EXPECT_TRUE(Gen->AutostartRecalledPresets1.Checked());
  EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(StoredSettings, TheChannelModeIsReadWhateverTheCaseOfItsName) {
  ChangeGeneratorSettings(*Gen);
  Gen->Close();
  TSettingsValues values = Without(Store, "mono");
  values.emplace("MONO", TSettingsValue::OfDWord(7));
  Store = TMemorySettingsStore(values);
  Create();
  EXPECT_EQ(Gen->cboChannels.ItemIndex(), cmMono) << "any nonzero value means Mono";
  EXPECT_EQ(Gen->Duration.Text(), "7.5") << "the rest of the load went through";
}

TEST_F(StoredSettings, AMissingOrDamagedOutputValueTakesItsDefaultWithOneLineNamingTheFileAndNoBox) {
  ChangeGeneratorSettings(*Gen);
  Settings->cboFsList.UserSelect(3);
  Settings->Button1.Click();
  Gen->Close();
  const TSettingsValues stored = *Store.Read();
  const struct {
    const char* name;
    std::optional<TSettingsValue> value;  // none: removed
    std::string why;
    std::function<bool(const TfrmSettings&)> hasDefault;
  } cases[] = {
      {"Buffers", std::nullopt, "Failed to get data for 'Buffers'", [](auto& s) { return s.cboBuffers.Text() == "4"; }},
      {"Quant", TSettingsValue::OfText("24"), "Invalid data type for 'Quant'",
       [](auto& s) { return s.cboQuant.Text() == "16"; }},
      {"BufferSize", TSettingsValue::OfDWord(99), "'BufferSize' holds 99, which is not in its list",
       [](auto& s) { return s.cboBufferSize.Text() == "16384"; }},
      {"DisableSS", std::nullopt, "Failed to get data for 'DisableSS'",
       [](auto& s) { return s.chkDisableSS.Checked(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TTempDir dir;
    TRegFileStore file(dir.File("Zephyra.reg"));
    TSettingsValues values = stored;
    values.erase(c.name);
    if (c.value) values.emplace(c.name, *c.value);
    ASSERT_TRUE(file.Merge(values));
    SettingsStore = &file;
    Dialogs.Errors.clear();
    testing::internal::CaptureStderr();
    Create();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zephyra: settings file " + dir.File("Zephyra.reg") + ": " + c.why + "; the value takes its default\n");
    EXPECT_TRUE(Dialogs.Errors.empty()) << "no box, which a batch run would wait on";
    EXPECT_TRUE(c.hasDefault(*Settings));
    EXPECT_EQ(Gen->State.sampleRate, 44100) << "the other output values as stored";
    EXPECT_EQ(Gen->Duration.Text(), "7.5");
    EXPECT_EQ(Gen->Presets[3].Text(TPresetText::Duration), "7.5") << "the memories are initialised";
    Settings.reset();
    Gen.reset();
  }
}

TEST_F(StoredSettings, CorruptOrTruncatedStoreFilesStartLikeAFirstRun) {
  TTempDir dir;
  const std::vector<std::string> contents = {
      "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra]\n\"Fs\"=dword:zz\n\"Duration\"=dword:\n\x01\xff\n",
      "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra]\n\"Fs\"=dwo",
      std::string("\0\0\0garbage", 10)};
  for (const std::string& text : contents) {
    WriteBytes(dir.File("Zephyra.reg"), {text.begin(), text.end()});
    TRegFileStore file(dir.File("Zephyra.reg"));
    SettingsStore = &file;
    Create();
    EXPECT_EQ(Settings->cboFsList.Text(), "11025");
    EXPECT_EQ(Gen->Duration.Text(), "10");
    EXPECT_TRUE(Dialogs.Errors.empty());
    Settings.reset();
    Gen.reset();
  }
}

TEST_F(StoredSettings, AStoreThatCannotBeWrittenIsReportedAndNeverKeepsAWindowOpen) {
  TTempDir dir;
  WriteBytes(dir.File("plain"), {});
  TRegFileStore file(dir.File("plain") + "/Vellacor/Zephyra.reg");  // a folder that cannot exist
  SettingsStore = &file;
  Create();
  bool closed = false;
  Gen->OnClose = [&] { closed = true; };
  Settings->Show();
  Settings->Button1.Click();
  EXPECT_FALSE(Settings->Visible());
  EXPECT_TRUE(Gen->Enabled());
  App.Perform([&] { Gen->Close(); });
  EXPECT_TRUE(closed);
  EXPECT_FALSE(Gen->Visible());
  ASSERT_EQ(Dialogs.Errors.size(), 2u);
  EXPECT_EQ(Dialogs.Errors[0], "Failed to set data for 'Fs'");
  EXPECT_EQ(Dialogs.Errors[1], "Failed to set data for 'AmplitudeLeft'");
  Settings.reset();
  Gen.reset();
}

TEST_F(StoredSettings, HandEditedSettingsKeepTheirOtherLinesWhenTheProgramStoresItsValues) {
  TTempDir dir;
  const std::string path = dir.File("Zephyra.reg");
  const std::string other = "[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Other]\n\"Duration\"=\"99\"\n";
  const std::string comment = "; the lab's settings, do not remove\n";
  const std::string hex = "\"Calibration\"=hex:01,02,03\n";
  const std::string text = "REGEDIT4\n\n" + other + "\n" + comment +
                           "[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra]\n"
                           "\"Duration\" = \"5\"\n" + hex + "\"Fs\"=DWORD:3\n\"Buffers\"=dword:1\n"
                           "\"Quant\"=dword:0\n\"BufferSize\"=dword:2\n\"DisableSS\"=dword:1\n";
  WriteBytes(path, {text.begin(), text.end()});
  TRegFileStore file(path);
  SettingsStore = &file;
  Create();
  EXPECT_EQ(Settings->cboFsList.Text(), "44100") << "the hand-edited lines are read";
  Gen->Duration.SetText("6");
  Settings->Show();
  Settings->Button1.Click();
  App.Perform([&] { Gen->Close(); });
  EXPECT_TRUE(Dialogs.Errors.empty()) << Dialogs.Errors.front();

  const std::vector<uint8_t> bytes = ReadBytes(path);
  const std::string stored(bytes.begin(), bytes.end());
  for (const std::string& kept : {other, comment, hex}) EXPECT_NE(stored.find(kept), std::string::npos) << kept;
  EXPECT_NE(stored.find("\n\"Duration\"=\"6\"\n"), std::string::npos) << "written in the store's own form";
  EXPECT_NE(stored.find("\n\"Fs\"=dword:00000003\n"), std::string::npos) << stored;
  Settings.reset();
  Gen.reset();
}

TEST_F(StoredSettings, AnUnreadableSettingsFileIsKeptAndReportedOnceWhenTheWindowCloses) {
  TTempDir dir;
  const std::string path = dir.File("Zephyra.reg");
  const std::string text = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra]\n\"Duration\"=\"5\"\n";
  std::vector<uint8_t> utf16{0xFF, 0xFE};
  for (char c : text) utf16.insert(utf16.end(), {static_cast<uint8_t>(c), 0});
  WriteBytes(path, utf16);
  TRegFileStore file(path);
  SettingsStore = &file;
  Create();
  EXPECT_EQ(Gen->Duration.Text(), "10") << "starts as a first run";
  Settings->Show();
  Settings->Button1.Click();
  EXPECT_TRUE(Dialogs.Errors.empty()) << "not reported at every refused write";
  bool closed = false;
  Gen->OnClose = [&] { closed = true; };
  App.Perform([&] { Gen->Close(); });
  EXPECT_TRUE(closed);
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_EQ(Dialogs.Errors[0].rfind("Cannot open file \"" + path + "\".", 0), 0u) << Dialogs.Errors[0];
  EXPECT_EQ(ReadBytes(path), utf16) << "nothing stored is lost";
  Settings.reset();
  Gen.reset();
}

using StoredSettingsDeathTest = StoredSettings;

TEST_F(StoredSettingsDeathTest, ANamedPipeAtTheSettingsPathNeverHoldsUpStartOrClose) {
  TTempDir dir;
  const std::string path = dir.File("Zephyra.reg");
  ASSERT_EQ(::mkfifo(path.c_str(), 0666), 0);
  auto startAndClose = [&] {
    Watchdog();
    TRegFileStore file(path);
    SettingsStore = &file;
    Create();
    App.Perform([&] { Gen->Close(); });
    ExitChild(Dialogs.Errors.size() == 1, Dialogs.Errors.empty() ? "no message" : Dialogs.Errors[0]);
  };
  EXPECT_EXIT(startAndClose(), testing::ExitedWithCode(0), "^Cannot open file \".*/Zephyra.reg\"\\. No such device\n");
}

}  // namespace
