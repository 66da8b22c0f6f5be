#include "app/qt/WaitDialog.h"

#include "app/Application.h"
#include "app/qt/FormBinder.h"
#include "app/qt/FormVisibility.h"
#include "export/frmWait.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TQtWaitDialog::TQtWaitDialog(TfrmWait& form, TApplication& application, QWidget* parent)
    : QDialog(parent, Qt::Tool), FForm(form),
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
  FollowFormVisibility(*this, FForm, TShowActivation::Activate);
}

void TQtWaitDialog::reject() { FApplication.Perform([this] { FForm.FormKeyDown(27); }); }

void TQtWaitDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  reject();
}
