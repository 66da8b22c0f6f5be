// The four memory presets: store, recall, rename, and preset files.

#include "app/frmGenerator.h"

#include "app/Application.h"
#include "app/ProductTexts.h"
#include "persistence/FileError.h"
#include "platform/Dialogs.h"

#include <array>
#include <filesystem>
#include <string>

namespace {

bool IsPresetNumber(int n) { return n >= 1 && n <= 4; }

constexpr int kEnterKey = 13;

}  // namespace

TButton& TfrmGenerator::PresetButton(int n) {
  std::array<TButton*, 4> buttons{&Memory1, &Memory2, &Memory3, &Memory4};
  return *buttons[static_cast<size_t>(n - 1)];
}

TEdit& TfrmGenerator::PresetNameEdit(int n) {
  std::array<TEdit*, 4> edits{&Mem1Edit, &Mem2Edit, &Mem3Edit, &Mem4Edit};
  return *edits[static_cast<size_t>(n - 1)];
}

void TfrmGenerator::CreatePresetControls() {
  grpMemory.SetCaption("Memory Presets");
  const std::array<std::array<TMenuItem*, 3>, 4> menus{{{&mnuMemory1, &Store, &Rename},
                                                         {&mnuMemory2, &Store2, &Rename1},
                                                         {&mnuMemory3, &Store3, &Rename2},
                                                         {&mnuMemory4, &Store4, &Rename3}}};
  for (int n = 1; n <= 4; ++n) {
    TButton& button = PresetButton(n);
    button.SetCaption("Memory " + std::to_string(n));
    button.SetHint("Recall Stored Preset (Right-click to Store)");
    button.OnClick = [this, n] { MemRecall(n); };
    TEdit& edit = PresetNameEdit(n);
    edit.SetVisible(false);
    edit.SetEnabled(false);
    edit.OnExit = [this, n] { Mem1EditExit(n); };
    const auto& [menu, store, rename] = menus[static_cast<size_t>(n - 1)];
    store->SetCaption("Store");
    store->OnClick = [this, n] { MemStore(n); };
    rename->SetCaption("Rename");
    rename->OnClick = [this, n] { RenameClick(n); };
    menu->Add(*store);
    menu->Add(*rename);
    button.SetPopupMenu(menu);
  }
  Store.SetHint("Store settings in this memory position");
  const std::array<TMenuItem*, 4> recall{&RecallPreset1, &RecallPreset2, &RecallPreset3, &RecallPreset4};
  const std::array<TMenuItem*, 4> store{&StorePreset1, &StorePreset2, &StorePreset3, &StorePreset4};
  for (int n = 1; n <= 4; ++n) {
    recall[static_cast<size_t>(n - 1)]->OnClick = [this, n] { MemRecall(n); };
    store[static_cast<size_t>(n - 1)]->OnClick = [this, n] { MemStore(n); };
  }
  AutostartRecalledPresets1.OnClick = [this] { AutostartRecalledPresets1Click(); };
  LoadPresets1.OnClick = [this] { LoadPresets1Click(); };
  SavePresetsAs1.OnClick = [this] { SavePresetsAs1Click(); };
}

void TfrmGenerator::MemStore(int n) {
  if (!IsPresetNumber(n)) return;
  MemoryPreset& preset = Presets[static_cast<size_t>(n - 1)];
  TPresetValues v;
  v.Name = preset.Name();
  v.Duration = Duration.Text();
  v.AmplitudeLeft = AmplitudeLeft.Text();
  v.AmplitudeRight = AmplitudeRight.Text();
  v.WaveFormLeft = WaveFormLeft.ItemIndex();
  v.WaveFormRight = WaveFormRight.ItemIndex();
  v.Loop = Loop.Checked();
  v.Mono = cboChannels.ItemIndex() == cmMono;
  v.LeftTick = Lefttick.Checked();
  v.RightTick = RightTick.Checked();
  v.ModulationOnLeft = ModulationOnLeft.Checked();
  v.ModulationOnRight = ModulationOnRight.Checked();
  v.ModPeriodLeft = ModPeriodLeftEdit.Text();
  v.ModPeriodRight = ModPeriodRightEdit.Text();
  v.ModDepthLeft = ModDepthLeftEdit.Text();
  v.ModDepthRight = ModDepthRightEdit.Text();
  v.ModFunctionLeft = ModFunctionLeft.ItemIndex();
  v.ModFunctionRight = ModFunctionRight.ItemIndex();
  v.ModPhaseLeft = ModPhaseLeftEdit.Text();
  v.ModPhaseRight = ModPhaseRightEdit.Text();
  v.CrestFactorLeft = cboCrestFactorL.ItemIndex();
  v.CrestFactorRight = cboCrestFactorR.ItemIndex();
  v.AsLeft = chkAsLeft.Checked();
  v.FilterTypeLeft = cboFilterTypeL1.ItemIndex();
  v.FZeroLeft = txtFZeroL.Text();
  v.GainLeft = txtGainL.Text();
  v.QLeft = txtQL.Text();
  v.FilterTypeRight = cboFilterTypeR1.ItemIndex();
  v.FZeroRight = txtFZeroR.Text();
  v.GainRight = txtGainR.Text();
  v.QRight = txtQR.Text();
  // Texts go through the record's encoding, so a name survives only as stored.
  preset.SetValues(v);
}

void TfrmGenerator::MemRecall(int n) {
  if (!IsPresetNumber(n)) return;
  const TPresetValues v = Presets[static_cast<size_t>(n - 1)].Values();
  if (AudioOut1->Active) AudioOut1->StopAtOnce();
  ApplyPresetChannels(v);
  ApplyPresetFilters(v);
  if (AutostartRecalledPresets1.Checked()) btnONClick();
}

void TfrmGenerator::ApplyPresetChannels(const TPresetValues& v) {
  AmplitudeLeft.SetText(v.AmplitudeLeft);
  WaveFormLeft.SetItemIndex(v.WaveFormLeft);
  WaveFormLeftChange();
  ModulationOnLeft.SetChecked(v.ModulationOnLeft);
  AmplitudeRight.SetText(v.AmplitudeRight);
  WaveFormRight.SetItemIndex(v.WaveFormRight);
  ModulationOnRight.SetChecked(v.ModulationOnRight);
  Duration.SetText(v.Duration);
  DurationExit();
  Loop.SetChecked(v.Loop);
  cboChannels.SetItemIndex(v.Mono ? cmMono : cmStereo);
  cboChannelsChange();
  Lefttick.SetChecked(v.LeftTick);
  RightTick.SetChecked(v.RightTick);
  ModPeriodLeftEdit.SetText(v.ModPeriodLeft);
  ModPeriodRightEdit.SetText(v.ModPeriodRight);
  ModDepthLeftEdit.SetText(v.ModDepthLeft);
  ModDepthRightEdit.SetText(v.ModDepthRight);
  ModFunctionLeft.SetItemIndex(v.ModFunctionLeft);
  ModFunctionRight.SetItemIndex(v.ModFunctionRight);
  ModPhaseLeftEdit.SetText(v.ModPhaseLeft);
  ModPhaseRightEdit.SetText(v.ModPhaseRight);
  AmplitudeLeftExit();
  AmplitudeRightExit();
  cboCrestFactorL.SetItemIndex(v.CrestFactorLeft);
  cboCrestFactorR.SetItemIndex(v.CrestFactorRight);
  cboCrestFactorLChange();
  cboCrestFactorRChange();
  chkAsLeft.SetChecked(v.AsLeft);
  SyncLiveSettings();
}

void TfrmGenerator::ApplyPresetFilters(const TPresetValues& v) {
  cboFilterTypeL1.SetItemIndex(v.FilterTypeLeft);
  cboFilterTypeL1Change();
  txtFZeroL.SetText(v.FZeroLeft);
  txtFZeroLExit();
  txtGainL.SetText(v.GainLeft);
  txtGainLExit();
  txtQL.SetText(v.QLeft);
  txtQLExit();
  cboFilterTypeR1.SetItemIndex(v.FilterTypeRight);
  cboFilterTypeR1Change();
  txtFZeroR.SetText(v.FZeroRight);
  txtFZeroRExit();
  txtGainR.SetText(v.GainRight);
  txtGainRExit();
  txtQR.SetText(v.QRight);
  txtQRExit();
}

void TfrmGenerator::RenameClick(int n) {
  if (!IsPresetNumber(n)) return;
  btnON.SetDefault(false);
  TButton& button = PresetButton(n);
  button.SetCaption("");
  TEdit& edit = PresetNameEdit(n);
  edit.SetText(button.Caption());
  edit.SetVisible(true);
  edit.SetEnabled(true);
  SetFocus(edit);
}

void TfrmGenerator::Mem1EditExit(int n) {
  if (!IsPresetNumber(n)) return;
  TEdit& edit = PresetNameEdit(n);
  // Enter finishes first; the focus leaving the hidden field afterwards must not.
  if (!edit.Visible()) return;
  PresetButton(n).SetCaption(edit.Text());
  Presets[static_cast<size_t>(n - 1)].SetName(edit.Text());
  btnON.SetDefault(true);
  edit.SetVisible(false);
  edit.SetEnabled(false);
}

void TfrmGenerator::Mem1EditKeyPress(int n, int key) {
  if (key == kEnterKey) Mem1EditExit(n);
}

void TfrmGenerator::AutostartRecalledPresets1Click() {
  AutostartRecalledPresets1.SetChecked(!AutostartRecalledPresets1.Checked());
}

void TfrmGenerator::InitMemoryPresets() {
  for (int n = 1; n <= 4; ++n) {
    MemStore(n);
    Presets[static_cast<size_t>(n - 1)].SetName("Memory " + std::to_string(n));
  }
}

TPresetImageCheck TfrmGenerator::LoadSettings(const std::string& fileName) {
  const TPresetImageCheck check = LoadPresetFile(fileName, Presets);
  if (!check) return check;
  for (int n = 1; n <= 4; ++n) PresetButton(n).SetCaption(Presets[static_cast<size_t>(n - 1)].Name());
  return check;
}

bool TfrmGenerator::LoadSettingsReporting(const std::string& fileName) {
  const TPresetImageCheck check = LoadSettings(fileName);
  if (const std::string problem = PresetFileProblem(fileName, check); !problem.empty())
    FServices.Dialogs.ShowError(problem);
  return check.IsPresetFile;
}

void TfrmGenerator::LoadExamplePresets(const std::string& folder) {
  try {
    LoadSettingsReporting(folder + "/" + ExamplesFileName);
  } catch (const TFileError&) {
    // The examples are a convenience; without them the memories keep the start-up values.
  }
}

bool TfrmGenerator::LoadStartupPresets(const std::string& firstArgument, const std::string& programFolder) {
  if (firstArgument.find('.') == std::string::npos) LoadExamplePresets(programFolder);
  std::error_code ignored;
  if (firstArgument.find(".zep") == std::string::npos || !std::filesystem::exists(firstArgument, ignored))
    return true;
  try {
    return LoadSettingsReporting(firstArgument);
  } catch (const TFileError& e) {
    FServices.Application.HandleException(e);
    return false;
  }
}

void TfrmGenerator::LoadPresets1Click() {
  AudioOut1->StopAtOnce();
  FServices.Application.HelpFile = HelpFolder;
  const auto path = FServices.Dialogs.OpenFileName(
      {.Title = "Open preset file", .Filter = "Zephyra Presets|*.zep", .DefaultExt = "zep", .FileName = "",
       .FileMustExist = false});
  if (path) LoadSettingsReporting(*path);
}

void TfrmGenerator::SavePresetsAs1Click() {
  AudioOut1->StopAtOnce();
  FServices.Application.HelpFile = HelpFolder;
  const auto path = FServices.Dialogs.SaveFileName(
      {.Title = "Save KAV presets", .Filter = "ZEP presets|*.zep", .DefaultExt = "ZEP", .FileName = ""});
  if (path) SavePresetFile(*path, Presets);
}
