#pragma once
// The main window's remote instrument: the SCPI server over the window's
// controls, started from the stored settings (or "--scpi" for one run), the
// Tools menu's "Remote Instrument..." dialog, and the label that shows
// whether it listens and how many clients are connected.

#include "instrument/InstrumentSettings.h"

#include <QObject>

#include <memory>

class QLabel;
class QWidget;
class TfrmGenerator;
class TQtScpiServer;
class TWindowInstrument;

class TQtRemoteInstrument final : public QObject {
public:
  /// form, window and status must outlive this object.
  TQtRemoteInstrument(TfrmGenerator& form, QWidget& window, QLabel& status);
  ~TQtRemoteInstrument() override;

  /// Listens as the stored settings say; option (from the command line) turns
  /// it on for this run, on its port if it names one. A failure is written
  /// to stderr and shown in the label.
  void Start(const TScpiOption& option);
  /// The dialog; OK stores the settings and listens anew (a failure in a message box).
  void ShowDialog();

private:
  /// Listens as FSettings say; the failure's text, or "".
  std::string Apply();
  void ShowStatus();

  TfrmGenerator& FForm;
  QWidget& FWindow;
  QLabel& FStatus;
  TInstrumentSettings FSettings;
  std::string FFailure;
  std::unique_ptr<TWindowInstrument> FTarget;
  std::unique_ptr<TQtScpiServer> FServer;
};
