#pragma once
// The script editor's window: one script file, edited as plain text, saved
// whole or not at all. Lines the runner would stop at are marked (red
// background, reason in the status bar when the cursor is on one).

#include "engine/NumberFormat.h"
#include "script/ScriptFile.h"

#include <QMainWindow>
#include <QString>

#include <functional>

class QLabel;
class QPlainTextEdit;
class TScriptHighlighter;

class TScriptEditorWindow final : public QMainWindow {
public:
  explicit TScriptEditorWindow(TNumberFormat format, QWidget* parent = nullptr);

  /// Loads path into the editor; false (reported) when it cannot be read.
  bool OpenFile(const QString& path);
  /// Saves the text to path with the file's line ends; false (reported) on failure.
  bool SaveFile(const QString& path);
  /// "Line <n>: <reason>" for every line the runner would stop at, in order.
  QStringList Problems() const;

  QPlainTextEdit& Editor() const { return *FEditor; }
  const QString& FileName() const { return FFileName; }
  /// Shows an error; a message box unless replaced (tests).
  std::function<void(const QString&)> ShowError;

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void CreateMenus();
  void NewFile();
  void Open();
  bool Save();
  bool SaveAs();
  /// True when there is nothing unsaved or the user chose to go on.
  bool MaybeSave();
  void RefreshMarks();
  void ShowLineStatus();
  void RefreshTitle();
  /// The editor shows path's text as it stands on disk: named, unmodified.
  void ShowAsSaved(const QString& path);

  TNumberFormat FFormat;
  QPlainTextEdit* FEditor;
  TScriptHighlighter* FHighlighter;
  QLabel* FStatus;
  QString FFileName;
  bool FCrLf = false;
};
