#pragma once
// The reference noise window of the Tools menu: plays the reference pink
// noise (engine/ReferenceNoise.h) through the main window's output on the
// left channel, the right one or both, or alone on any one output of the
// device, for calibrating loudspeaker channels. "Step through all" plays it
// on each output in turn for the time chosen, so that one person with a
// sound level meter can walk the room.
// It plays at the output rate when the reference is defined there (48, 96 or
// 192 kHz) and at 48 kHz otherwise, and says which. Starting it stops the
// generator's own signal; starting that signal, or OFF, stops it.

#include "app/Controls.h"
#include "app/Form.h"
#include "engine/NumberFormat.h"

#include <cstdint>
#include <string>
#include <vector>

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
  TCheckBox chkStepAll{this, "chkStepAll"};
  TComboBox cboStepTime{this, "cboStepTime"};
  TButton btnPrevious{this, "btnPrevious"};
  TButton btnNext{this, "btnNext"};
  /// The output playing now, in large text, while the noise is on one output.
  TLabel lblCurrent{this, "lblCurrent"};
  TLabel lblDropouts{this, "lblDropouts"};
  TButton btnStart{this, "btnStart"};
  TButton btnStop{this, "btnStop"};
  TButton btnHelp{this, "btnHelp"};
  TButton btnClose{this, "btnClose"};

  /// The entries of cboChannel: then each output of the device from ceFirstOutput on.
  enum TChannelEntry { ceLeft, ceRight, ceBoth, ceFirstOutput };

  /// Shows the window with the output's rate and device as they are now.
  void Show();
  /// Plays the reference on the chosen channels (restarting it when it plays).
  void btnStartClick();
  void btnStopClick();
  /// While the reference plays, it moves to the newly chosen channels.
  void cboChannelChange();
  /// The noise moves to the next (previous) output of the device, after the
  /// last (first) to the first (last), and plays there for the whole time.
  void btnNextClick();
  void btnPreviousClick();
  void btnHelpClick();
  /// Stops the reference and hides the window.
  void btnCloseClick();
  /// The output started, stopped or played further buffers: rate, device,
  /// status, buttons and dropouts follow; while stepping through all
  /// outputs, one whose time is up hands over to the next.
  void OutputChanged();
  /// Seconds each output plays while stepping through all.
  int32_t StepSeconds() const;

  /// The rate the reference plays at for an output rate.
  static int32_t PlayRate(int32_t outputRate);

private:
  void ShowRate();
  /// The outputs of the device as cboChannel lists them, the choice kept where it still exists.
  void ListOutputs();
  /// The 1-based output of the chosen entry; 0 for Left, Right or both.
  uint16_t ChosenOutput() const;
  void PlayChosen();
  /// Chooses the output delta entries away among the outputs, round the list.
  void StepBy(int32_t delta);

  /// "48 kHz" in the user's format.
  std::string RateText(int32_t rate) const;

  TReferenceOutput& FOutput;
  TShell& FShell;
  TNumberFormat FFormat;
  std::vector<std::string> FOutputs;  // as cboChannel lists them
  uint32_t FStepStartMs = 0;          // when the output playing now began
};
