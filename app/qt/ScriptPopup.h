#pragma once
// The progress window of a script run on screen: a small tool window that
// follows the popup form, shown and hidden by it. Its close box and Esc
// press "Cancel"; F1 opens the scripts help.

#include <QDialog>

class TApplication;
class TfrmScriptPopup;
class TFormBinder;

class TQtScriptPopup final : public QDialog {
public:
  /// form and application must outlive the window.
  TQtScriptPopup(TfrmScriptPopup& form, TApplication& application, QWidget* parent = nullptr);

protected:
  void reject() override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  TfrmScriptPopup& FForm;
  TApplication& FApplication;
  TFormBinder* FBinder;
};
