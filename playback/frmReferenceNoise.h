#pragma once
// The reference noise window of the Tools menu: plays the reference pink
// noise (engine/ReferenceNoise.h) through the main window's output on the
// left channel, the right one or both, for calibrating loudspeaker channels.
// It plays at the output rate when the reference is defined there (48, 96 or
// 192 kHz) and at 48 kHz otherwise, and says which. Starting it stops the
// generator's own signal; starting that signal, or OFF, stops it.

#include "app/Controls.h"
#include "app/Form.h"
#include "engine/NumberFormat.h"

#include <cstdint>
#include <string>

class TReferenceOutput;
class TShell;

class TfrmReferenceNoise : public TForm {
public:
  /// Creates the window hidden; output and shell must outlive it. format
  /// is the user's, for the rates shown.
  TfrmReferenceNoise(TReferenceOutput& output, TShell& shell, TNumberFormat format);

  TLabel lblLevel{this, "lblLevel"};
  TLabel lblChannel{this, "lblChannel"};
  TComboBox cboChannel{this, "cboChannel"};
  TLabel lblRate{this, "lblRate"};
  TLabel lblDevice{this, "lblDevice"};
  TLabel lblStatus{this, "lblStatus"};
  TLabel lblDropouts{this, "lblDropouts"};
  TButton btnStart{this, "btnStart"};
  TButton btnStop{this, "btnStop"};
  TButton btnHelp{this, "btnHelp"};
  TButton btnClose{this, "btnClose"};

  /// The entries of cboChannel.
  enum TChannelEntry { ceLeft, ceRight, ceBoth };

  /// Shows the window with the output's rate and device as they are now.
  void Show();
  /// Plays the reference on the chosen channels (restarting it when it plays).
  void btnStartClick();
  void btnStopClick();
  /// While the reference plays, it moves to the newly chosen channels.
  void cboChannelChange();
  void btnHelpClick();
  /// Stops the reference and hides the window.
  void btnCloseClick();
  /// The output started, stopped or played further buffers: rate, device,
  /// status, buttons and dropouts follow.
  void OutputChanged();

  /// The rate the reference plays at for an output rate.
  static int32_t PlayRate(int32_t outputRate);

private:
  void ShowRate();

  /// "48 kHz" in the user's format.
  std::string RateText(int32_t rate) const;

  TReferenceOutput& FOutput;
  TShell& FShell;
  TNumberFormat FFormat;
};
