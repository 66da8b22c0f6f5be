#pragma once
// The script editor's window: one script file, edited as plain text, saved
// whole or not at all. Each line is shown and judged as the runner reads the
// file's bytes: a CR inside a line is shown as a mark, every line keeps its
// own line end, and the lines the runner would stop at are marked (red
// background and underline, the reason in the status bar and tool tip).

#include "engine/NumberFormat.h"
#include "script/EditableScript.h"
#include "script/ScriptMarks.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class TScriptHighlighter;

class TScriptEditorWindow final : public QMainWindow {
public:
  explicit TScriptEditorWindow(TNumberFormat format, QWidget* parent = nullptr);

  /// Loads path into the editor; false (reported) when it cannot be read. A
  /// file that could not be saved unchanged opens read-only, with a message.
  bool OpenFile(const QString& path);
  /// Saves the text to path with the lines' own ends; false (reported) on
  /// failure or for a read-only file.
  bool SaveFile(const QString& path);
  /// The reason the runner would stop, for every line it would stop at, in order.
  std::vector<std::string> Problems() const;
  /// The bytes the editor holds: what a save writes, what the marks judge.
  std::string Bytes() const;

  QPlainTextEdit& Editor() const { return *FEditor; }
  const QString& FileName() const { return FFileName; }
  bool ReadOnly() const { return FReadOnly.has_value(); }
  /// Shows an error; a message box unless replaced (tests).
  std::function<void(const QString&)> ShowError;

protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void CreateMenus();
  void NewFile();
  void Open();
  bool Save();
  bool SaveAs();
  /// True when there is nothing unsaved or the user chose to go on.
  bool MaybeSave();
  /// Shows script's lines, each block holding its line's end.
  void ShowScript(const TEditableScript& script);
  TEditableScript ScriptOfBlocks() const;
  void RefreshMarks();
  void ShowLineStatus();
  void RefreshTitle();
  /// The editor shows path's text as it stands on disk: named, unmodified.
  void ShowAsSaved(const QString& path);
  /// The marks of block number n; none past the judged lines.
  const TScriptLineMarks* MarksOf(int n) const;

  TNumberFormat FFormat;
  QPlainTextEdit* FEditor;
  TScriptHighlighter* FHighlighter;
  QLabel* FStatus;
  QString FFileName;
  TLineEnd FNewLineEnd = TLineEnd::Lf;
  std::optional<TEditableScript::TReadOnly> FReadOnly;
  std::vector<TScriptLineMarks> FMarks;
};
