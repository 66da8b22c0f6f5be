#pragma once
// The output settings window: sample rate, sample width, buffer size and
// count, the device outputs Left and Right play on, and the screensaver box.
// Playback reads the lists at every start.

#include "app/Controls.h"
#include "app/Form.h"
#include "platform/WaveOutDevice.h"

#include <cstdint>
#include <optional>

class TfrmGenerator;
class TShell;

class TfrmSettings : public TForm {
public:
  /// Creates the window hidden with its default entries, attaches it to the
  /// generator and runs the start-up load of the stored settings. generator
  /// and shell must outlive the window.
  TfrmSettings(TfrmGenerator& generator, TShell& shell);
  ~TfrmSettings() override;

  TLabel lblFs{this, "lblFs"};
  TComboBox cboFsList{this, "cboFsList"};
  TLabel lblQuant{this, "lblQuant"};
  TComboBox cboQuant{this, "cboQuant"};
  TLabel lblBits{this, "lblBits"};
  TLabel lblBufferSize{this, "lblBufferSize"};
  TComboBox cboBufferSize{this, "cboBufferSize"};
  TLabel lblBuffers{this, "lblBuffers"};
  TComboBox cboBuffers{this, "cboBuffers"};
  TLabel lblLeftOutput{this, "lblLeftOutput"};
  TComboBox cboLeftOutput{this, "cboLeftOutput"};
  TLabel lblRightOutput{this, "lblRightOutput"};
  TComboBox cboRightOutput{this, "cboRightOutput"};
  TCheckBox chkDisableSS{this, "chkDisableSS"};
  TButton HelpButton{this, "HelpButton"};
  TButton Button1{this, "Button1"};

  /// OFF command, then the sample rate in use from the list.
  void cboFsListChange();
  /// OFF command; the new value takes effect at the next start.
  void cboBufferSizeChange();
  /// Reaction of the buffer-count and the quantisation lists: the OFF command.
  void cboBuffersChange();
  void HelpButtonClick();
  /// OFF command; Left (Right) plays on the chosen output from the next start.
  void cboLeftOutputChange();
  void cboRightOutputChange();
  /// Lists the outputs of the generator's device and shows the chosen ones;
  /// a choice the device does not have stays stored and the list shows the default.
  void FillOutputLists();
  /// The chosen outputs (1-based, 0 for the default), as stored.
  TOutputChannels Outputs() const { return FOutputs; }
  /// The chosen outputs as the device of the generator can play them now: an
  /// output it no longer has takes its default, with a message.
  TOutputChannels OutputsForStart(bool stereo);
  /// Chooses outputs, as the lists and the stored settings do.
  void SetOutputs(TOutputChannels outputs);
  /// Hides the window, stores the output values (a failure is reported) and
  /// enables the main window.
  void Button1Click();
  /// Shows the window (not modal) with the focus on the rate list.
  void Show();

  /// Sample rate in use := integer value of the rate list's text (throws
  /// EConvertError when it is not an integer).
  void ApplySampleRate();
  /// The quantisation list's value, or nothing when its text is not an integer.
  std::optional<uint16_t> QuantizationBits() const;

  // ---- settings store (persistence/frmSettingsStore.cpp) ----
  /// Output values (defaults on a failure, which is reported), the sample
  /// rate, the generator values, the memory presets, the modulation reactions.
  void LoadStoredSettings();
  /// Writes the output values; throws TSettingsError when they cannot be stored.
  void StoreOutputSettings();

private:
  void ApplyOutputDefaults();
  /// Reads the output values when "Fs" is stored; throws at the first one missing or unusable.
  void LoadOutputSettings();

  TfrmGenerator& FGenerator;
  TShell& FShell;
  TOutputChannels FOutputs;
};
