#pragma once
// The output settings window: sample rate, sample width, buffer size and
// count, and the screensaver box. Playback reads the lists at every start.

#include "app/Controls.h"
#include "app/Form.h"

#include <cstdint>
#include <optional>

class TfrmGenerator;
class TShell;

class TfrmSettings : public TForm {
public:
  /// Creates the window hidden with its default entries, attaches it to the
  /// generator and sets the sample rate in use from the rate list. generator
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
  /// Hides the window and enables the main window.
  void Button1Click();
  /// Shows the window (not modal).
  void Show();

  /// Sample rate in use := integer value of the rate list's text (throws
  /// EConvertError when it is not an integer).
  void ApplySampleRate();
  /// The quantisation list's value, or nothing when its text is not an integer.
  std::optional<uint16_t> QuantizationBits() const;

private:
  TfrmGenerator& FGenerator;
  TShell& FShell;
};
