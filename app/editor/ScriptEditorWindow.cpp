#include "app/editor/ScriptEditorWindow.h"

#include "app/editor/ScriptHighlighter.h"
#include "script/ScriptMarks.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>

#include <exception>
#include <optional>
#include <string>

namespace {

constexpr const char* FileFilter = "Scripts (*.zes *.kvs);;All Files (*)";

/// The reason the runner would stop at block, or nothing. The empty block
/// after the last line end is the end of the file, where a run ends normally.
std::optional<std::string> ProblemOf(const QTextBlock& block, const TNumberFormat& format) {
  if (!block.next().isValid() && block.text().isEmpty()) return std::nullopt;
  const QByteArray line = block.text().toUtf8();
  return MarkScriptLine({line.constData(), static_cast<size_t>(line.size())}, block.blockNumber() + 1, format)
      .Problem;
}

}  // namespace

TScriptEditorWindow::TScriptEditorWindow(TNumberFormat format, QWidget* parent)
    : QMainWindow(parent), FFormat(format), FEditor(new QPlainTextEdit(this)),
      FHighlighter(new TScriptHighlighter(FEditor->document(), format)), FStatus(new QLabel(this)) {
  ShowError = [this](const QString& text) { QMessageBox::warning(this, QStringLiteral("Script Editor"), text); };
  FEditor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  FEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
  setCentralWidget(FEditor);
  statusBar()->addWidget(FStatus, 1);
  CreateMenus();
  connect(FEditor, &QPlainTextEdit::textChanged, this, [this] { RefreshMarks(); });
  connect(FEditor, &QPlainTextEdit::cursorPositionChanged, this, [this] { ShowLineStatus(); });
  connect(FEditor->document(), &QTextDocument::modificationChanged, this, [this] { RefreshTitle(); });
  RefreshMarks();
  RefreshTitle();
  resize(640, 480);
}

void TScriptEditorWindow::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("&New"), QKeySequence::New, this, [this] { NewFile(); });
  file->addAction(QStringLiteral("&Open..."), QKeySequence::Open, this, [this] { Open(); });
  file->addAction(QStringLiteral("&Save"), QKeySequence::Save, this, [this] { Save(); });
  file->addAction(QStringLiteral("Save &As..."), QKeySequence::SaveAs, this, [this] { SaveAs(); });
  file->addSeparator();
  file->addAction(QStringLiteral("E&xit"), QKeySequence::Quit, this, [this] { close(); });
}

bool TScriptEditorWindow::OpenFile(const QString& path) {
  try {
    const TEditableScript script = ReadEditableScript(path.toStdString());
    FEditor->setPlainText(QString::fromUtf8(script.Text.data(), static_cast<qsizetype>(script.Text.size())));
    FCrLf = script.CrLf;
  } catch (const std::exception& e) {
    ShowError(QString::fromStdString(e.what()));
    return false;
  }
  ShowAsSaved(path);
  return true;
}

bool TScriptEditorWindow::SaveFile(const QString& path) {
  try {
    SaveEditableScript(path.toStdString(), {FEditor->toPlainText().toUtf8().toStdString(), FCrLf});
  } catch (const std::exception& e) {
    ShowError(QString::fromStdString(e.what()));
    return false;
  }
  ShowAsSaved(path);
  return true;
}

void TScriptEditorWindow::ShowAsSaved(const QString& path) {
  FFileName = path;
  FEditor->document()->setModified(false);
  RefreshTitle();
}

QStringList TScriptEditorWindow::Problems() const {
  QStringList problems;
  for (QTextBlock block = FEditor->document()->begin(); block.isValid(); block = block.next())
    if (const auto problem = ProblemOf(block, FFormat)) problems << QString::fromStdString(*problem);
  return problems;
}

void TScriptEditorWindow::NewFile() {
  if (!MaybeSave()) return;
  FEditor->clear();
  FFileName.clear();
  FCrLf = false;
  FEditor->document()->setModified(false);
  RefreshTitle();
}

void TScriptEditorWindow::Open() {
  if (!MaybeSave()) return;
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open script file"), FFileName,
                                                    QString::fromLatin1(FileFilter));
  if (!path.isEmpty()) OpenFile(path);
}

bool TScriptEditorWindow::Save() { return FFileName.isEmpty() ? SaveAs() : SaveFile(FFileName); }

bool TScriptEditorWindow::SaveAs() {
  QFileDialog dialog(this, QStringLiteral("Save script file"), FFileName, QString::fromLatin1(FileFilter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("zes"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  return SaveFile(dialog.selectedFiles().first());
}

bool TScriptEditorWindow::MaybeSave() {
  if (!FEditor->document()->isModified()) return true;
  const auto answer = QMessageBox::warning(this, QStringLiteral("Script Editor"),
                                           QStringLiteral("The script has been changed. Save the changes?"),
                                           QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
  if (answer == QMessageBox::Save) return Save();
  return answer == QMessageBox::Discard;
}

void TScriptEditorWindow::closeEvent(QCloseEvent* event) {
  if (MaybeSave())
    event->accept();
  else
    event->ignore();
}

void TScriptEditorWindow::RefreshMarks() {
  QList<QTextEdit::ExtraSelection> marks;
  for (QTextBlock block = FEditor->document()->begin(); block.isValid(); block = block.next()) {
    if (!ProblemOf(block, FFormat)) continue;
    QTextEdit::ExtraSelection mark;
    mark.format.setBackground(QColor(255, 228, 228));
    mark.format.setProperty(QTextFormat::FullWidthSelection, true);
    mark.cursor = QTextCursor(block);
    marks << mark;
  }
  FEditor->setExtraSelections(marks);
  ShowLineStatus();
}

void TScriptEditorWindow::ShowLineStatus() {
  const auto problem = ProblemOf(FEditor->textCursor().block(), FFormat);
  if (problem) {
    FStatus->setText(QString::fromStdString(*problem));
    return;
  }
  const qsizetype count = FEditor->extraSelections().size();
  FStatus->setText(count == 0 ? QStringLiteral("Every line runs.")
                              : QStringLiteral("%1 line(s) would stop the script (marked).").arg(count));
}

void TScriptEditorWindow::RefreshTitle() {
  const QString name = FFileName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(FFileName).fileName();
  setWindowTitle(name + QStringLiteral("[*] - Script Editor"));
  setWindowModified(FEditor->document()->isModified());
}
