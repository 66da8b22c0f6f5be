#include "app/qt/QtDialogs.h"

#include "app/Application.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QMessageBox::StandardButtons StandardButtonsOf(TMsgButtons buttons) {
  switch (buttons) {
  case TMsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
  case TMsgButtons::OKCancel: return QMessageBox::Ok | QMessageBox::Cancel;
  case TMsgButtons::OK: break;
  }
  return QMessageBox::Ok;
}

TModalResult ModalResultOf(int button) {
  switch (button) {
  case QMessageBox::Ok: return TModalResult::OK;
  case QMessageBox::Cancel: return TModalResult::Cancel;
  case QMessageBox::Yes: return TModalResult::Yes;
  case QMessageBox::No: return TModalResult::No;
  default: return TModalResult::None;
  }
}

int RunBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const std::string& text) {
  QMessageBox box(icon, caption, Q(text), QMessageBox::Ok, parent);
  return box.exec();
}

}  // namespace

TQtDialogs::TQtDialogs(QWidget* parent) : FParent(parent) {}

QString TQtDialogs::Caption() const {
  return FApplication ? Q(FApplication->Title()) : QGuiApplication::applicationDisplayName();
}

void TQtDialogs::ShowMessage(const std::string& text) { RunBox(FParent, QMessageBox::Information, Caption(), text); }

void TQtDialogs::ShowError(const std::string& text) { RunBox(FParent, QMessageBox::Critical, Caption(), text); }

TModalResult TQtDialogs::SuppressibleQuestion(const std::string& text, const std::string& caption,
                                              TMsgButtons buttons, bool& dontShowAgain) {
  QMessageBox box(QMessageBox::Warning, Q(caption), Q(text), StandardButtonsOf(buttons), FParent);
  auto* check = new QCheckBox(QStringLiteral("Don't show this message again."), &box);
  box.setCheckBox(check);
  const int button = box.exec();
  dontShowAgain = check->isChecked();
  return ModalResultOf(button);
}

TModalResult TQtDialogs::Confirm(const std::string& text, TMsgButtons buttons, int helpContext) {
  QMessageBox::StandardButtons standard = StandardButtonsOf(buttons);
  const bool help = helpContext != 0 && FShowHelp;
  if (help) standard |= QMessageBox::Help;
  QMessageBox box(QMessageBox::Question, Caption(), Q(text), standard, FParent);
  // Help shows the topic and leaves the question open; the topic opens once
  // the question is open again, so that it comes in front of it.
  int button = box.exec();
  while (help && button == QMessageBox::Help) {
    QTimer::singleShot(0, &box, [this, helpContext] { FShowHelp(helpContext); });
    button = box.exec();
  }
  return ModalResultOf(button);
}

std::optional<std::string> TQtDialogs::OpenFileName(const TFileDialogOptions& options) {
  return RunFileDialog(options, false);
}

std::optional<std::string> TQtDialogs::SaveFileName(const TFileDialogOptions& options) {
  return RunFileDialog(options, true);
}

std::optional<std::string> TQtDialogs::RunFileDialog(const TFileDialogOptions& options, bool save) {
  QFileDialog dialog(FParent, Q(options.Title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save || !options.FileMustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!options.Filter.empty()) dialog.setNameFilter(QtFileFilter(options.Filter));
  if (!options.DefaultExt.empty()) dialog.setDefaultSuffix(Q(options.DefaultExt));
  if (!options.FileName.empty()) dialog.selectFile(Q(options.FileName));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.OverwritePrompt);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = Q(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
    const QString suffix = QStringLiteral("(") + patterns + QLatin1Char(')');
    // A description that already names its patterns is shown as it stands.
    filters << (parts[i].trimmed().endsWith(suffix) ? parts[i].trimmed() : parts[i] + QLatin1Char(' ') + suffix);
  }
  return filters.join(QStringLiteral(";;"));
}
