#include "app/editor/ScriptEditorWindow.h"

#include "app/editor/ScriptHighlighter.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QToolTip>

#include <algorithm>
#include <exception>

namespace {

constexpr const char* FileFilter = "Scripts (*.zes *.kvs);;All Files (*)";
/// A block's user state when its line has no end of its own yet.
constexpr int kNoEnd = -1;

/// The text of UTF-8 bytes; unlike QString::fromUtf8, a byte-order mark at
/// the start is kept, as the runner reads it.
QString ToQString(std::string_view text) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
  return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

std::string ToStdString(const QString& text) { return text.toUtf8().toStdString(); }

/// The reason the runner would stop at a line, with what cannot be seen of it.
std::optional<QString> ProblemText(const TScriptLineMarks* marks) {
  if (!marks || !marks->Problem) return std::nullopt;
  QString text = ToQString(*marks->Problem);
  if (marks->Note) text += QStringLiteral(" (%1)").arg(ToQString(*marks->Note));
  return text;
}

}  // namespace

TScriptEditorWindow::TScriptEditorWindow(TNumberFormat format, QWidget* parent)
    : QMainWindow(parent), FFormat(format), FEditor(new QPlainTextEdit(this)),
      FHighlighter(new TScriptHighlighter(FEditor->document(), format)), FStatus(new QLabel(this)) {
  ShowError = [this](const QString& text) { QMessageBox::warning(this, QStringLiteral("Script Editor"), text); };
  FEditor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  FEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
  FEditor->viewport()->installEventFilter(this);
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
    ShowScript(ReadEditableScript(path.toStdString()));
  } catch (const std::exception& e) {
    ShowError(QString::fromStdString(e.what()));
    return false;
  }
  ShowAsSaved(path);
  if (FReadOnly) ShowError(ToQString(FReadOnly->Reason));
  return true;
}

void TScriptEditorWindow::ShowScript(const TEditableScript& script) {
  QStringList lines;
  for (const TEditableLine& line : script.Lines) lines << ToQString(line.Shown);
  FReadOnly = script.ReadOnly;
  FNewLineEnd = script.NewLineEnd;
  // The marks are judged once every block holds its line end.
  FEditor->blockSignals(true);
  FEditor->setPlainText(lines.join(QLatin1Char('\n')));
  FEditor->blockSignals(false);
  QTextBlock block = FEditor->document()->begin();
  for (size_t i = 0; i < script.Lines.size() && block.isValid(); ++i, block = block.next()) {
    const std::optional<TLineEnd> end = script.Lines[i].End;
    block.setUserState(end ? static_cast<int>(*end) : kNoEnd);
    if (!FReadOnly && ToStdString(block.text()) != script.Lines[i].Shown)
      FReadOnly = TEditableScript::TReadOnly{CannotShowLineReason(i + 1), ScriptBytesOf(script)};
  }
  if (!FReadOnly && FEditor->document()->blockCount() != static_cast<int>(script.Lines.size()))
    FReadOnly = TEditableScript::TReadOnly{CannotShowLineReason(script.Lines.size()), ScriptBytesOf(script)};
  FEditor->setReadOnly(FReadOnly.has_value());
  RefreshMarks();
}

TEditableScript TScriptEditorWindow::ScriptOfBlocks() const {
  TEditableScript script;
  script.NewLineEnd = FNewLineEnd;
  for (QTextBlock block = FEditor->document()->begin(); block.isValid(); block = block.next()) {
    std::optional<TLineEnd> end;
    if (block.userState() != kNoEnd) end = static_cast<TLineEnd>(block.userState());
    script.Lines.push_back({ToStdString(block.text()), end});
  }
  return script;
}

std::string TScriptEditorWindow::Bytes() const {
  return FReadOnly ? FReadOnly->Bytes : ScriptBytesOf(ScriptOfBlocks());
}

bool TScriptEditorWindow::SaveFile(const QString& path) {
  if (FReadOnly) {
    ShowError(ToQString(FReadOnly->Reason));
    return false;
  }
  try {
    SaveEditableScript(path.toStdString(), ScriptOfBlocks());
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

std::vector<std::string> TScriptEditorWindow::Problems() const {
  std::vector<std::string> problems;
  for (const TScriptLineMarks& marks : FMarks)
    if (marks.Problem) problems.push_back(*marks.Problem);
  return problems;
}

const TScriptLineMarks* TScriptEditorWindow::MarksOf(int n) const {
  return n >= 0 && n < static_cast<int>(FMarks.size()) ? &FMarks[static_cast<size_t>(n)] : nullptr;
}

void TScriptEditorWindow::NewFile() {
  if (!MaybeSave()) return;
  ShowScript(EditableScriptOf(""));
  FFileName.clear();
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
  if (FReadOnly) return SaveFile(FFileName);
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

bool TScriptEditorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != FEditor->viewport() || event->type() != QEvent::ToolTip)
    return QMainWindow::eventFilter(watched, event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const auto problem = ProblemText(MarksOf(FEditor->cursorForPosition(help->pos()).blockNumber()));
  if (problem)
    QToolTip::showText(help->globalPos(), *problem, FEditor->viewport());
  else
    QToolTip::hideText();
  return true;
}

void TScriptEditorWindow::RefreshMarks() {
  FMarks = MarkScript(Bytes(), FFormat);
  QList<QTextEdit::ExtraSelection> marks;
  for (QTextBlock block = FEditor->document()->begin(); block.isValid(); block = block.next()) {
    if (!ProblemText(MarksOf(block.blockNumber()))) continue;
    // Without a selection the mark covers the block's line, text and width.
    QTextEdit::ExtraSelection mark;
    mark.format.setBackground(QColor(255, 228, 228));
    mark.format.setProperty(QTextFormat::FullWidthSelection, true);
    mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    mark.format.setUnderlineColor(Qt::red);
    mark.cursor = QTextCursor(block);
    marks << mark;
  }
  FEditor->setExtraSelections(marks);
  ShowLineStatus();
}

void TScriptEditorWindow::ShowLineStatus() {
  if (const auto problem = ProblemText(MarksOf(FEditor->textCursor().blockNumber()))) {
    FStatus->setText(*problem);
    return;
  }
  const auto count = std::count_if(FMarks.begin(), FMarks.end(), [](const auto& m) { return m.Problem.has_value(); });
  QString text = count == 0 ? QStringLiteral("Every line runs.")
                            : QStringLiteral("%1 line(s) would stop the script (marked).").arg(count);
  if (FReadOnly) text = QStringLiteral("Read-only. ") + text;
  FStatus->setText(text);
}

void TScriptEditorWindow::RefreshTitle() {
  const QString name = FFileName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(FFileName).fileName();
  const QString readOnly = FReadOnly ? QStringLiteral(" (read-only)") : QString();
  setWindowTitle(name + QStringLiteral("[*]") + readOnly + QStringLiteral(" - Script Editor"));
  setWindowModified(FEditor->document()->isModified());
}
