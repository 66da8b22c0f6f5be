#include "app/qt/ScriptPopup.h"

#include "app/Application.h"
#include "app/qt/FormBinder.h"
#include "app/qt/FormVisibility.h"
#include "script/frmScriptPopup.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kF1Key = 112;
}  // namespace

TQtScriptPopup::TQtScriptPopup(TfrmScriptPopup& form, TApplication& application, QWidget* parent)
    : QDialog(parent, Qt::Tool), FForm(form), FApplication(application),
      FBinder(new TFormBinder(form, *this, application)) {
  setWindowTitle(QString::fromStdString(form.Caption()));
  form.AddObserver([this] { setWindowTitle(QString::fromStdString(FForm.Caption())); });
  setFixedSize(375, 92);
  auto* cancel = new QPushButton(this);
  cancel->setGeometry(8, 8, 61, 20);
  FBinder->BindButton(form.Button1, *cancel);
  auto* next = new QPushButton(this);
  next->setGeometry(305, 8, 62, 20);
  FBinder->BindButton(form.Button2, *next);
  // Centred under the buttons as the form places it, wide enough for long line texts.
  auto* label = new QLabel(this);
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(8, 40, 359, 16);
  FBinder->BindLabel(form.Label1, *label);
  setTabOrder(cancel, next);
  FollowFormVisibility(*this, FForm, TShowActivation::KeepFocus);
}

void TQtScriptPopup::reject() { FApplication.Perform([this] { FForm.Button1Click(); }); }

void TQtScriptPopup::closeEvent(QCloseEvent* event) {
  event->ignore();
  reject();
}

void TQtScriptPopup::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    FApplication.Perform([this] { FForm.FormKeyDown(kF1Key); });
    return;
  }
  QDialog::keyPressEvent(event);
}
