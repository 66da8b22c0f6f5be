#include "playback/frmSettings.h"

#include "app/frmGenerator.h"
#include "app/Application.h"
#include "app/HelpTopics.h"
#include "engine/Numbers.h"
#include "playback/OutputChannelChoice.h"
#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"

#include <algorithm>

TfrmSettings::TfrmSettings(TfrmGenerator& generator, TShell& shell)
    : TForm("frmSettings"), FGenerator(generator), FShell(shell) {
  SetCaption("Output Settings");
  SetVisible(false);
  HelpContext = HelpContextOutputSettings;
  OnHelp = [this](int context) { FShell.ShowHelp(context); };
  lblFs.SetCaption("Sampling Frequency (fs) [Hz]");
  cboFsList.SetItems({"8000", "11025", "22050", "44100", "48000", "96000", "192000"});
  cboFsList.SetItemIndex(1);
  lblQuant.SetCaption("Quantisation");
  cboQuant.SetItems({"16", "24"});
  cboQuant.SetItemIndex(0);
  lblBits.SetCaption("bits");
  lblBufferSize.SetCaption("Buffer Size:");
  cboBufferSize.SetItems({"4096", "8192", "16384", "32768", "64536"});
  cboBufferSize.SetItemIndex(2);
  lblBuffers.SetCaption("Buffers:");
  cboBuffers.SetItems({"2", "3", "4"});
  cboBuffers.SetItemIndex(2);
  lblLeftOutput.SetCaption("Left plays on");
  lblRightOutput.SetCaption("Right plays on");
  chkDisableSS.SetCaption("Disable Screensaver when active");
  chkDisableSS.SetChecked(true);
  HelpButton.SetCaption("Help");
  Button1.SetCaption("Close");

  cboFsList.OnChange = [this] { cboFsListChange(); };
  cboQuant.OnChange = [this] { cboBuffersChange(); };
  cboBufferSize.OnChange = [this] { cboBufferSizeChange(); };
  cboBuffers.OnChange = [this] { cboBuffersChange(); };
  cboLeftOutput.OnChange = [this] { cboLeftOutputChange(); };
  cboRightOutput.OnChange = [this] { cboRightOutputChange(); };
  chkDisableSS.OnClick = [this] { FGenerator.AppMessage(); };
  HelpButton.OnClick = [this] { HelpButtonClick(); };
  Button1.OnClick = [this] { Button1Click(); };

  FGenerator.frmSettings = this;
  LoadStoredSettings();
}

TfrmSettings::~TfrmSettings() {
  if (FGenerator.frmSettings == this) FGenerator.frmSettings = nullptr;
}

void TfrmSettings::cboFsListChange() {
  FGenerator.btnOFFClick();
  ApplySampleRate();
}

void TfrmSettings::cboBufferSizeChange() { FGenerator.btnOFFClick(); }
void TfrmSettings::cboBuffersChange() { FGenerator.btnOFFClick(); }
void TfrmSettings::cboLeftOutputChange() {
  FGenerator.btnOFFClick();
  FOutputs.Left = static_cast<uint16_t>(cboLeftOutput.ItemIndex() + 1);
}

void TfrmSettings::cboRightOutputChange() {
  FGenerator.btnOFFClick();
  FOutputs.Right = static_cast<uint16_t>(cboRightOutput.ItemIndex() + 1);
}

TOutputChannels TfrmSettings::OutputsForStart(bool stereo) {
  TWaveOutDevice& device = FGenerator.Services().WaveOut;
  std::string note;
  const TOutputChannels usable =
      UsableOutputs(FOutputs, device.ChannelNames(FGenerator.AudioOut1->WaveDevice()).size(), stereo, note);
  if (!note.empty()) FGenerator.Services().Dialogs.ShowMessage(note);
  return usable;
}

void TfrmSettings::SetOutputs(TOutputChannels outputs) {
  FOutputs = outputs;
  FillOutputLists();
}

void TfrmSettings::FillOutputLists() {
  const std::vector<std::string> entries =
      OutputListEntries(FGenerator.Services().WaveOut.ChannelNames(FGenerator.AudioOut1->WaveDevice()));
  cboLeftOutput.SetItems(entries);
  cboRightOutput.SetItems(entries);
  cboLeftOutput.SetItemIndex(OutputListIndex(FOutputs.Left, 0, entries.size()));
  cboRightOutput.SetItemIndex(OutputListIndex(FOutputs.Right, 1, entries.size()));
}

void TfrmSettings::HelpButtonClick() { FShell.ShowHelp(HelpContextOutputSettings); }

void TfrmSettings::Button1Click() {
  SetVisible(false);
  try {
    StoreOutputSettings();
  } catch (const TSettingsError& e) {
    // A kept settings file is reported once, when the main window closes.
    if (FGenerator.Services().Settings.KeptFileReport().empty()) FGenerator.Services().Application.HandleException(e);
  }
  FGenerator.SetEnabled(true);
}

void TfrmSettings::Show() {
  SetVisible(true);
  // The window opens on its first list, never on Help, so that Enter or a
  // key press right after opening does not bring up the help.
  SetFocus(cboFsList);
}

void TfrmSettings::ApplySampleRate() {
  FGenerator.State.sampleRate = StrToInt(cboFsList.Text());
  FGenerator.ShowSampleRate();
}

std::optional<uint16_t> TfrmSettings::QuantizationBits() const {
  try {
    return static_cast<uint16_t>(std::clamp<int32_t>(StrToInt(cboQuant.Text()), 0, UINT16_MAX));
  } catch (const EConvertError&) {
    return std::nullopt;
  }
}
