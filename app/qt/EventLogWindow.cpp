#include "app/qt/EventLogWindow.h"

#include "app/Application.h"
#include "app/qt/FormBinder.h"
#include "app/qt/FormVisibility.h"
#include "playback/frmEventLog.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <functional>

namespace {

/// Ctrl+C inside the table copies the whole table too, not the current cell.
class TCopyKey final : public QObject {
public:
  TCopyKey(QObject* parent, std::function<void()> copy) : QObject(parent), FCopy(std::move(copy)) {}

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy))
      return QObject::eventFilter(watched, event);
    FCopy();
    return true;
  }

private:
  std::function<void()> FCopy;
};

}  // namespace

TQtEventLogWindow::TQtEventLogWindow(TfrmEventLog& form, TApplication& application, QWidget* parent)
    : QDialog(parent, Qt::Window), FForm(form), FApplication(application),
      FBinder(new TFormBinder(form, *this, application)), FTable(new QTableWidget(this)) {
  setWindowTitle(QString::fromStdString(form.Caption()));
  setObjectName("frmEventLog");
  auto* column = new QVBoxLayout(this);
  auto* file = new QLabel;
  file->setWordWrap(true);
  FBinder->BindLabel(form.lblFile, *file);
  column->addWidget(file);
  const QStringList headers = QString(TfrmEventLog::Columns).split('\t');
  FTable->setColumnCount(static_cast<int>(headers.size()));
  FTable->setHorizontalHeaderLabels(headers);
  FTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  FTable->horizontalHeader()->setStretchLastSection(true);
  FTable->verticalHeader()->setVisible(false);
  FTable->setObjectName("lstEvents");
  column->addWidget(FTable, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (TButton* button : {&form.btnCopy, &form.btnClose}) {
    auto* widget = new QPushButton;
    FBinder->BindButton(*button, *widget);
    buttons->addWidget(widget);
  }
  column->addLayout(buttons);
  form.OnCopy = [self = QPointer<QWidget>(this)](const std::string& text) {
    if (self) QGuiApplication::clipboard()->setText(QString::fromStdString(text));
  };
  const auto copy = [this] { FApplication.Perform([this] { FForm.btnCopy.Click(); }); };
  connect(new QShortcut(QKeySequence::Copy, this), &QShortcut::activated, this, copy);
  FTable->installEventFilter(new TCopyKey(FTable, copy));
  // The window logic outlives this window and may log after it is gone (the stop at exit).
  form.lstEvents.AddObserver([this, self = QPointer<QWidget>(this)] {
    if (self) ShowNewRows();
  });
  ShowNewRows();
  resize(760, 360);
  FollowFormVisibility(*this, FForm, TShowActivation::Activate);
}

void TQtEventLogWindow::ShowNewRows() {
  const auto& rows = FForm.lstEvents.Items();
  for (int row = FTable->rowCount(); row < static_cast<int>(rows.size()); ++row) {
    FTable->insertRow(row);
    const QStringList cells = QString::fromStdString(rows[static_cast<size_t>(row)]).split('\t');
    for (int c = 0; c < cells.size() && c < FTable->columnCount(); ++c)
      FTable->setItem(row, c, new QTableWidgetItem(cells[c]));
  }
  // A hidden table measures every row to fit its columns, a shown one only
  // the rows in view: with a row for each dropout under load, fitting the
  // hidden table took a third of a core. It is fitted when it is shown.
  if (isVisible())
    FTable->resizeColumnsToContents();
  else
    FColumnsFitted = false;
}

void TQtEventLogWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (FColumnsFitted) return;
  FTable->resizeColumnsToContents();
  FColumnsFitted = true;
}

void TQtEventLogWindow::reject() { FApplication.Perform([this] { FForm.btnCloseClick(); }); }

void TQtEventLogWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  reject();
}
