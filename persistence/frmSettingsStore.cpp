// The settings that survive a restart: read once while the output settings
// window is created, the output values written when that window closes, the
// generator values when the main window closes.

#include "app/Application.h"
#include "app/frmGenerator.h"
#include "platform/SettingsStore.h"
#include "playback/OutputChannelChoice.h"
#include "playback/frmSettings.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <utility>

namespace {

void ReadIndex(const TSettingsKey& key, const char* name, TCustomList& list) {
  list.SetItemIndex(key.ReadInteger(name));
}

/// The stored device by its name first, since a device plugged in elsewhere
/// moves the indexes; by its index when the name is not in the list (or was
/// never stored).
void ReadDevice(const TSettingsKey& key, TCustomList& list) {
  const std::string name = key.ReadString("WaveDeviceName");
  const auto& items = list.Items();
  const auto found = name.empty() ? items.end()
                                  : std::find_if(items.begin(), items.end(),
                                                 [&](const std::string& item) { return DeviceNameOfEntry(item) == name; });
  if (found != items.end())
    list.SetItemIndex(static_cast<int32_t>(found - items.begin()));
  else
    ReadIndex(key, "WaveDevice", list);
}

/// One stderr line naming the store and the value that could not be read.
void ReportStoredValueDefault(const TSettingsStore& store, const std::exception& e,
                              const char* what = "the value takes its default") {
  std::fprintf(stderr, "zephyra: %s: %s; %s\n", store.Location().c_str(), e.what(), what);
}

/// A stored output number; missing (settings of an older version) or
/// unusable means the default, 0.
uint16_t ReadOutput(const TSettingsStore& store, const TSettingsKey& key, const char* name) {
  if (!key.ValueExists(name)) return 0;
  try {
    const uint32_t output = key.ReadDWord(name);
    if (output <= UINT16_MAX) return static_cast<uint16_t>(output);
    throw TSettingsError("'" + std::string(name) + "' holds " + std::to_string(output) + ", which is no output");
  } catch (const TSettingsError& e) {
    ReportStoredValueDefault(store, e);
    return 0;
  }
}

void ReadFlag(const TSettingsKey& key, const char* name, TCheckBox& box) { box.SetChecked(key.ReadBool(name)); }
void ReadText(const TSettingsKey& key, const char* name, TEdit& edit) { edit.SetText(key.ReadString(name)); }

/// The generator values in the order they are applied; the first failure
/// throws and leaves the rest unread.
void ApplyGeneratorValues(TfrmGenerator& g, const TSettingsKey& key) {
  ReadIndex(key, "WaveDevice", g.WaveDevice);
  ReadText(key, "Duration", g.Duration);
  g.DurationExit();
  ReadFlag(key, "Loop", g.Loop);
  g.cboChannels.SetItemIndex(key.ReadBool("Mono") ? cmMono : cmStereo);
  g.monoClick();
  g.cboChannelsChange();
  ReadFlag(key, "LeftTick", g.Lefttick);
  ReadFlag(key, "RightTick", g.RightTick);
  ReadText(key, "AmplitudeLeft", g.AmplitudeLeft);
  ReadText(key, "AmplitudeRight", g.AmplitudeRight);
  ReadFlag(key, "ModulationOnLeft", g.ModulationOnLeft);
  ReadFlag(key, "ModulationOnRight", g.ModulationOnRight);
  ReadText(key, "ModPeriodLeftEdit", g.ModPeriodLeftEdit);
  ReadText(key, "ModDepthLeftEdit", g.ModDepthLeftEdit);
  ReadIndex(key, "ModFunctionLeft", g.ModFunctionLeft);
  ReadText(key, "ModPhaseLeftEdit", g.ModPhaseLeftEdit);
  ReadText(key, "ModPeriodRightEdit", g.ModPeriodRightEdit);
  ReadText(key, "ModDepthRightEdit", g.ModDepthRightEdit);
  ReadIndex(key, "ModFunctionRight", g.ModFunctionRight);
  ReadText(key, "ModPhaseRightEdit", g.ModPhaseRightEdit);
  ReadIndex(key, "WaveFormLeft", g.WaveFormLeft);
  g.WaveFormLeftChange();
  ReadIndex(key, "WaveFormRight", g.WaveFormRight);
  g.WaveFormRightChange();
  ReadDevice(key, g.WaveDevice);
  g.WaveDeviceChange();
  ReadIndex(key, "PeakRmsL", g.cboCrestFactorL);
  g.cboCrestFactorLChange();
  ReadIndex(key, "PeakRmsR", g.cboCrestFactorR);
  g.cboCrestFactorRChange();
  g.AutostartRecalledPresets1.SetChecked(key.ReadBool("PresetAutoStart"));
  ReadIndex(key, "cboFilterTypeL1", g.cboFilterTypeL1);
  ReadText(key, "txtFZeroL", g.txtFZeroL);
  ReadText(key, "txtQL", g.txtQL);
  ReadText(key, "txtGainL", g.txtGainL);
  ReadIndex(key, "cboFilterTypeR1", g.cboFilterTypeR1);
  ReadText(key, "txtFZeroR", g.txtFZeroR);
  ReadText(key, "txtQR", g.txtQR);
  ReadText(key, "txtGainR", g.txtGainR);
  g.Preparevariables();
  // The window always opens centred, so the stored position is only checked.
  key.ReadDWord("FormX");
  key.ReadDWord("FormY");
  ReadFlag(key, "AsLeft", g.chkAsLeft);
  g.chkAsLeftClick();
}

}  // namespace

void TfrmGenerator::LoadGeneratorSettings() {
  TSettingsKey key(FServices.Settings, TKeyAccess::OpenExisting);
  try {
    ApplyGeneratorValues(*this, key);
  } catch (const std::exception& e) {
    // A first run (no generator values at all) takes the defaults silently; a
    // removed value or an unreadable text says which, then the defaults.
    if (key.ValueExists("AmplitudeLeft") || key.ValueExists("WaveDevice"))
      ReportStoredValueDefault(FServices.Settings, e, "the main window takes its default settings");
    rESETTOdEFAULT1Click();
  }
  // The filter fields are enabled by the filter design; run it before the
  // window first appears, so that they show right from the first frame.
  try {
    Preparevariables();
  } catch (const std::exception&) {
    rESETTOdEFAULT1Click();
    Preparevariables();
  }
}

void TfrmGenerator::StoreGeneratorSettings() {
  TSettingsKey key(FServices.Settings, TKeyAccess::Create);
  key.WriteString("AmplitudeLeft", AmplitudeLeft.Text());
  key.WriteBool("ModulationOnLeft", ModulationOnLeft.Checked());
  key.WriteInteger("WaveFormLeft", WaveFormLeft.ItemIndex());
  key.WriteString("AmplitudeRight", AmplitudeRight.Text());
  key.WriteBool("AsLeft", chkAsLeft.Checked());
  key.WriteInteger("PeakRmsL", cboCrestFactorL.ItemIndex());
  key.WriteInteger("PeakRmsR", cboCrestFactorR.ItemIndex());
  key.WriteBool("ModulationOnRight", ModulationOnRight.Checked());
  key.WriteInteger("WaveFormRight", WaveFormRight.ItemIndex());
  key.WriteString("Duration", Duration.Text());
  key.WriteBool("Loop", Loop.Checked());
  key.WriteBool("mono", cboChannels.ItemIndex() == cmMono);
  key.WriteBool("LeftTick", Lefttick.Checked());
  key.WriteBool("RightTick", RightTick.Checked());
  key.WriteString("ModPeriodLeftEdit", ModPeriodLeftEdit.Text());
  key.WriteString("ModDepthLeftEdit", ModDepthLeftEdit.Text());
  key.WriteInteger("ModFunctionLeft", ModFunctionLeft.ItemIndex());
  key.WriteString("ModPhaseLeftEdit", ModPhaseLeftEdit.Text());
  key.WriteString("ModPeriodRightEdit", ModPeriodRightEdit.Text());
  key.WriteString("ModDepthRightEdit", ModDepthRightEdit.Text());
  key.WriteInteger("ModFunctionRight", ModFunctionRight.ItemIndex());
  key.WriteString("ModPhaseRightEdit", ModPhaseRightEdit.Text());
  key.WriteInteger("WaveDevice", WaveDevice.ItemIndex());
  key.WriteString("WaveDeviceName", DeviceNameOfEntry(WaveDevice.Text()));
  key.WriteBool("PresetAutoStart", AutostartRecalledPresets1.Checked());
  key.WriteInteger("cboFilterTypeL1", cboFilterTypeL1.ItemIndex());
  key.WriteString("txtFZeroL", txtFZeroL.Text());
  key.WriteString("txtQL", txtQL.Text());
  key.WriteString("txtGainL", txtGainL.Text());
  key.WriteInteger("cboFilterTypeR1", cboFilterTypeR1.ItemIndex());
  key.WriteString("txtFZeroR", txtFZeroR.Text());
  key.WriteString("txtQR", txtQR.Text());
  key.WriteString("txtGainR", txtGainR.Text());
  // The view places the window itself (centred); there is no position to keep.
  key.WriteDWord("FormX", 0);
  key.WriteDWord("FormY", 0);
  key.Close();
}

void TfrmSettings::ApplyOutputDefaults() {
  cboFsList.SetItemIndex(1);
  cboBuffers.SetItemIndex(2);
  cboQuant.SetItemIndex(0);
  cboBufferSize.SetItemIndex(2);
  chkDisableSS.SetChecked(true);
}

void TfrmSettings::LoadOutputSettings() {
  const TSettingsStore& store = FGenerator.Services().Settings;
  TSettingsKey key(FGenerator.Services().Settings, TKeyAccess::OpenExisting);
  // Without a stored rate the output settings were never stored: the defaults, silently.
  if (!key.ValueExists("Fs")) return;
  const std::pair<const char*, TComboBox*> lists[] = {
      {"Fs", &cboFsList}, {"Buffers", &cboBuffers}, {"Quant", &cboQuant}, {"BufferSize", &cboBufferSize}};
  for (const auto& [name, list] : lists) {
    const int32_t defaultIndex = list->ItemIndex();
    try {
      const int32_t stored = key.ReadInteger(name);
      list->SetItemIndex(stored);
      // An index beyond its list leaves no entry, which no start could use.
      if (list->Text().empty())
        throw TSettingsError("'" + std::string(name) + "' holds " + std::to_string(stored) +
                             ", which is not in its list");
    } catch (const TSettingsError& e) {
      list->SetItemIndex(defaultIndex);
      ReportStoredValueDefault(store, e);
    }
  }
  try {
    ReadFlag(key, "DisableSS", chkDisableSS);
  } catch (const TSettingsError& e) {
    ReportStoredValueDefault(store, e);
  }
  SetOutputs({ReadOutput(store, key, "LeftOutput"), ReadOutput(store, key, "RightOutput")});
}

void TfrmSettings::LoadStoredSettings() {
  ApplyOutputDefaults();
  // Each value that cannot be read keeps its default (never a box that a batch run waits on),
  // so the rate and the memories are never left unset.
  LoadOutputSettings();
  ApplySampleRate();
  FGenerator.LoadGeneratorSettings();
  FGenerator.InitMemoryPresets();
  FGenerator.ModulationOnLeftClick();
  FGenerator.ModulationOnRightClick();
}

void TfrmSettings::StoreOutputSettings() {
  TSettingsKey key(FGenerator.Services().Settings, TKeyAccess::Create);
  key.WriteInteger("Fs", cboFsList.ItemIndex());
  key.WriteInteger("Buffers", cboBuffers.ItemIndex());
  key.WriteInteger("Quant", cboQuant.ItemIndex());
  key.WriteInteger("BufferSize", cboBufferSize.ItemIndex());
  key.WriteBool("DisableSS", chkDisableSS.Checked());
  key.WriteDWord("LeftOutput", FOutputs.Left);
  key.WriteDWord("RightOutput", FOutputs.Right);
  key.Close();
}
