#pragma once
// The wait window of the WAV export on screen: a small tool window that
// follows the wait form, shown and hidden by it, and takes the keyboard.

#include <QDialog>

class QProgressBar;
class TApplication;
class TfrmWait;
class TFormBinder;

class TQtWaitDialog final : public QDialog {
public:
  /// form and application must outlive the dialog.
  TQtWaitDialog(TfrmWait& form, TApplication& application, QWidget* parent = nullptr);

protected:
  /// Escape and the close box press Cancel; the dialog itself stays until
  /// the form hides it.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

private:
  TfrmWait& FForm;
  TApplication& FApplication;
  TFormBinder* FBinder;
  QProgressBar* FProgress;
};
