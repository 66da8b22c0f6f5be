#pragma once
// Tools > "Remote Instrument...": on/off, the port, "This computer only" or
// "Network" with the allowed client addresses, and the folder preset files
// are loaded from.

#include "instrument/InstrumentSettings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

class TQtRemoteInstrumentDialog final : public QDialog {
public:
  TQtRemoteInstrumentDialog(const TInstrumentSettings& settings, QWidget* parent);
  /// What the dialog shows now.
  TInstrumentSettings Settings() const;

protected:
  /// OK is refused (with a message) while the allow list holds something that is no address.
  void accept() override;

private:
  void FollowNetworkChoice();

  QCheckBox* FEnabled;
  QSpinBox* FPort;
  QRadioButton* FLocal;
  QRadioButton* FNetwork;
  QLineEdit* FAllowed;
  QLineEdit* FFolder;
};
