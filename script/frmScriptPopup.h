#pragma once
// The progress window of a script run: the line being executed, "Cancel"
// (hides the window; the current wait runs to its end) and "Next" (ends the
// current wait within one tick). The run goes on only while it is visible.

#include "app/Controls.h"
#include "app/Form.h"

class TfrmGenerator;

class TfrmScriptPopup : public TForm {
public:
  /// Creates the window hidden and attaches it to the generator, which must outlive it.
  explicit TfrmScriptPopup(TfrmGenerator& generator);
  ~TfrmScriptPopup() override;

  /// "Line <n>: <command> <first argument>", set by the runner.
  TLabel Label1{this, "Label1"};
  TButton Button1{this, "Button1"};
  TButton Button2{this, "Button2"};

  /// "Next" was pressed since the window was last shown.
  bool NextPressed = false;

  /// Shows the window and runs FormShow.
  void Show();
  /// Hides a visible window and runs FormHide; a hidden one stays as it is.
  void Hide();
  /// Caption "ZEP Script".
  void FormShow();
  /// The main window takes input again.
  void FormHide();
  /// "Cancel": closes the window, which hides it.
  void Button1Click();
  /// "Next": clears the busy flag, then hides the window.
  void Button2Click();
  /// F1 (112) opens the scripts help topic.
  void FormKeyDown(int key);

private:
  TfrmGenerator& FGenerator;
};
