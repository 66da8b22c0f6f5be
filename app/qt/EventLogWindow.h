#pragma once
// The Event Log window on screen: the rows of the window logic
// (playback/frmEventLog.h) in a table, Copy and Close. Ctrl+C and Copy put
// the window logic's copied text on the clipboard. It decides nothing.

#include <QDialog>

class QTableWidget;
class TApplication;
class TfrmEventLog;
class TFormBinder;

class TQtEventLogWindow final : public QDialog {
public:
  /// form and application must outlive the window.
  TQtEventLogWindow(TfrmEventLog& form, TApplication& application, QWidget* parent);

protected:
  void reject() override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  /// Adds the rows the window logic has and the table has not yet.
  void ShowNewRows();

  TfrmEventLog& FForm;
  TApplication& FApplication;
  TFormBinder* FBinder;
  QTableWidget* FTable;
  bool FColumnsFitted = false;  // the columns fit the rows the table holds
};
