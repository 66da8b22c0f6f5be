#pragma once
// The output settings window on screen: a small window over the main window
// that follows the settings form, shown and hidden by it. Only its own keys act
// in it.

#include <QDialog>

class TApplication;
class TfrmSettings;
class TFormBinder;

class TQtSettingsDialog final : public QDialog {
public:
  /// form and application must outlive the dialog.
  TQtSettingsDialog(TfrmSettings& form, TApplication& application, QWidget* parent = nullptr);

protected:
  /// Escape and the close box close the window as its "Close" button does.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

private:

  TfrmSettings& FForm;
  TApplication& FApplication;
  TFormBinder* FBinder;
};
