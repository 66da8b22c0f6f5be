#include "app/qt/RemoteInstrument.h"

#include "app/frmGenerator.h"
#include "app/qt/RemoteInstrumentDialog.h"
#include "app/qt/ScpiServer.h"
#include "instrument/WindowInstrument.h"

#include <QLabel>
#include <QMessageBox>

#include <iostream>

TQtRemoteInstrument::TQtRemoteInstrument(TfrmGenerator& form, QWidget& window, QLabel& status)
    : FForm(form), FWindow(window), FStatus(status), FTarget(std::make_unique<TWindowInstrument>(form)),
      FServer(std::make_unique<TQtScpiServer>(*FTarget)) {
  FServer->OnClientsChanged = [this] { ShowStatus(); };
  ShowStatus();
}

TQtRemoteInstrument::~TQtRemoteInstrument() = default;

void TQtRemoteInstrument::Start(const TScpiOption& option) {
  FSettings = LoadInstrumentSettings(FForm.Services().Settings);
  if (option.Given) FSettings.Enabled = true;
  if (option.Port) FSettings.Port = *option.Port;
  if (const std::string failure = Apply(); !failure.empty())
    std::cerr << "zephyra: the remote instrument is off: " << failure << "\n";
}

void TQtRemoteInstrument::ShowDialog() {
  TQtRemoteInstrumentDialog dialog(FSettings, &FWindow);
  if (dialog.exec() != QDialog::Accepted) return;
  FSettings = dialog.Settings();
  if (!StoreInstrumentSettings(FForm.Services().Settings, FSettings))
    QMessageBox::warning(&FWindow, dialog.windowTitle(), tr("The settings could not be stored."));
  if (const std::string failure = Apply(); !failure.empty())
    QMessageBox::warning(&FWindow, dialog.windowTitle(),
                         tr("The remote instrument is off: %1").arg(QString::fromStdString(failure)));
}

std::string TQtRemoteInstrument::Apply() {
  FServer->Close();
  FFailure = FSettings.Enabled ? FServer->Listen(FSettings) : std::string();
  ShowStatus();
  return FFailure;
}

void TQtRemoteInstrument::ShowStatus() {
  if (!FFailure.empty()) {
    FStatus.setText(tr("SCPI off: port %1 cannot be used").arg(FSettings.Port));
    FStatus.setToolTip(QString::fromStdString(FFailure));
    return;
  }
  FStatus.setText(QString::fromStdString(InstrumentStatusText(FServer->Listening(), FSettings.Port, FServer->Clients())));
  FStatus.setToolTip(tr("Remote instrument (Tools > Remote Instrument...)"));
}
