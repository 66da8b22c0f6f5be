#include "app/qt/WaitDialog.h"

#include "app/Application.h"
#include "app/qt/FormBinder.h"
#include "export/frmWait.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TQtWaitDialog::TQtWaitDialog(TfrmWait& form, TApplication& application, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), FForm(form),
      FApplication(application), FBinder(new TFormBinder(form, *this, application)), FProgress(new QProgressBar) {
  setWindowTitle(QString::fromStdString(form.Caption()));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(12, 12, 12, 12);
  auto* label = new QLabel;
  label->setAlignment(Qt::AlignCenter);
  label->setWordWrap(true);
  FBinder->BindLabel(form.Label1, *label);
  column->addWidget(label);
  FBinder->BindControl(form.ProgressBar1, *FProgress);
  const auto progress = [this] {
    FProgress->setRange(FForm.ProgressBar1.Min(), FForm.ProgressBar1.Max());
    FProgress->setValue(FForm.ProgressBar1.Position());
  };
  progress();
  form.ProgressBar1.AddObserver(progress);
  column->addWidget(FProgress);
  auto* cancel = new QPushButton;
  FBinder->BindButton(form.btnCancel, *cancel);
  column->addWidget(cancel, 0, Qt::AlignHCenter);
  setMinimumWidth(280);
  FollowVisibility();
}

void TQtWaitDialog::FollowVisibility() {
  const auto follow = [this] {
    if (FForm.Visible() == isVisible()) return;
    if (!FForm.Visible()) {
      hide();
      return;
    }
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
      move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
  };
  follow();
  FForm.AddObserver(follow);
}

void TQtWaitDialog::reject() { FApplication.Perform([this] { FForm.FormKeyDown(27); }); }

void TQtWaitDialog::closeEvent(QCloseEvent* event) { event->ignore(); }
