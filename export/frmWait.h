#pragma once
// The wait window of the WAV export: a label, the progress of the export and
// a Cancel button (also Esc) that asks the export to stop.

#include "app/Controls.h"
#include "app/Form.h"

class TfrmGenerator;

class TfrmWait : public TForm {
public:
  /// Creates the window hidden and attaches it to the generator, which must outlive it.
  explicit TfrmWait(TfrmGenerator& generator);
  ~TfrmWait() override;

  TLabel Label1{this, "Label1"};
  TProgressBar ProgressBar1{this, "ProgressBar1"};
  TButton btnCancel{this, "btnCancel"};

  /// Set by Cancel; the export stops at it, then clears it.
  bool WaitCancel = false;

  void btnCancelClick();
  /// Esc (27) presses Cancel.
  void FormKeyDown(int key);

private:
  TfrmGenerator& FGenerator;
};
