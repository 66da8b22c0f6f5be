#include "app/qt/RemoteInstrumentDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

TQtRemoteInstrumentDialog::TQtRemoteInstrumentDialog(const TInstrumentSettings& settings, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(tr("Remote Instrument"));
  auto* column = new QVBoxLayout(this);
  FEnabled = new QCheckBox(tr("&Answer SCPI commands over TCP"));
  FEnabled->setChecked(settings.Enabled);
  column->addWidget(FEnabled);
  auto* form = new QFormLayout;
  FPort = new QSpinBox;
  FPort->setRange(1, 65535);
  FPort->setValue(settings.Port);
  form->addRow(tr("&Port:"), FPort);
  FLocal = new QRadioButton(tr("This &computer only"));
  FNetwork = new QRadioButton(tr("&Network"));
  (settings.Network ? FNetwork : FLocal)->setChecked(true);
  form->addRow(tr("Clients:"), FLocal);
  form->addRow(QString(), FNetwork);
  FAllowed = new QLineEdit(QString::fromStdString(settings.AllowedClients));
  FAllowed->setPlaceholderText(tr("every address"));
  FAllowed->setToolTip(tr("Client addresses let in, separated by blanks or commas; empty lets in everyone"));
  form->addRow(tr("&Allowed clients:"), FAllowed);
  FFolder = new QLineEdit(QString::fromStdString(settings.PresetFolder));
  FFolder->setPlaceholderText(tr("none: MMEMory:LOAD:STATe refused"));
  auto* browse = new QPushButton(tr("&Browse..."));
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(FFolder, 1);
  folderRow->addWidget(browse);
  form->addRow(tr("Preset &folder:"), folderRow);
  column->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  column->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(FNetwork, &QRadioButton::toggled, this, [this] { FollowNetworkChoice(); });
  connect(browse, &QPushButton::clicked, this, [this] {
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Preset folder"), FFolder->text());
    if (!folder.isEmpty()) FFolder->setText(folder);
  });
  FollowNetworkChoice();
}

void TQtRemoteInstrumentDialog::FollowNetworkChoice() { FAllowed->setEnabled(FNetwork->isChecked()); }

TInstrumentSettings TQtRemoteInstrumentDialog::Settings() const {
  TInstrumentSettings s;
  s.Enabled = FEnabled->isChecked();
  s.Port = static_cast<uint16_t>(FPort->value());
  s.Network = FNetwork->isChecked();
  s.AllowedClients = FAllowed->text().trimmed().toStdString();
  s.PresetFolder = FFolder->text().trimmed().toStdString();
  return s;
}

void TQtRemoteInstrumentDialog::accept() {
  const auto allowed = ParseAllowedClients(Settings().AllowedClients);
  if (const auto* error = std::get_if<std::string>(&allowed)) {
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(*error));
    return;
  }
  QDialog::accept();
}
