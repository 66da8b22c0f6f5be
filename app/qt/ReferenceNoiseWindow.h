#pragma once
// The reference noise window on screen: its level text, the channel list,
// rate, device and status, the output's meter, and its buttons. It follows
// the window logic (playback/frmReferenceNoise.h) and decides nothing.

#include <QDialog>

class TApplication;
class TfrmReferenceNoise;
class TFormBinder;
class TSignalAnalysis;

class TQtReferenceNoiseWindow final : public QDialog {
public:
  /// form, application and analysis (the output's meter) must outlive the window.
  TQtReferenceNoiseWindow(TfrmReferenceNoise& form, TApplication& application, TSignalAnalysis& analysis,
                          QWidget* parent);

protected:
  /// Escape and the close box act as "Close".
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

private:
  TfrmReferenceNoise& FForm;
  TApplication& FApplication;
  TFormBinder* FBinder;
};
