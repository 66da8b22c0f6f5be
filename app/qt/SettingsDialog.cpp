#include "app/qt/SettingsDialog.h"

#include "app/Application.h"
#include "app/qt/FormBinder.h"
#include "app/qt/FormVisibility.h"
#include "playback/frmSettings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

TQtSettingsDialog::TQtSettingsDialog(TfrmSettings& form, TApplication& application, QWidget* parent)
    // A dialog, not a tool window: Qt lets the owner's keys act in its tool windows.
    : QDialog(parent, Qt::Dialog), FForm(form), FApplication(application),
      FBinder(new TFormBinder(form, *this, application)) {
  setObjectName("frmSettings");
  setWindowTitle(QString::fromStdString(form.Caption()));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(10, 10, 10, 10);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(6);
  const auto label = [this](TLabel& control) {
    auto* widget = new QLabel;
    FBinder->BindLabel(control, *widget);
    return widget;
  };
  const auto combo = [this](TComboBox& control) {
    auto* widget = new QComboBox;
    widget->setMinimumWidth(90);
    FBinder->BindComboBox(control, *widget);
    return widget;
  };
  grid->addWidget(label(form.lblFs), 0, 0);
  grid->addWidget(combo(form.cboFsList), 0, 1);
  grid->addWidget(label(form.lblQuant), 1, 0);
  grid->addWidget(combo(form.cboQuant), 1, 1);
  grid->addWidget(label(form.lblBits), 1, 2);
  grid->addWidget(label(form.lblBufferSize), 2, 0);
  grid->addWidget(combo(form.cboBufferSize), 2, 1);
  grid->addWidget(label(form.lblBuffers), 3, 0);
  grid->addWidget(combo(form.cboBuffers), 3, 1);
  grid->addWidget(label(form.lblLeftOutput), 4, 0);
  grid->addWidget(combo(form.cboLeftOutput), 4, 1, 1, 2);
  grid->addWidget(label(form.lblRightOutput), 5, 0);
  grid->addWidget(combo(form.cboRightOutput), 5, 1, 1, 2);
  auto* screensaver = new QCheckBox;
  FBinder->BindCheckBox(form.chkDisableSS, *screensaver);
  grid->addWidget(screensaver, 6, 0, 1, 3);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (TButton* button : {&form.HelpButton, &form.Button1}) {
    auto* widget = new QPushButton;
    FBinder->BindButton(*button, *widget);
    buttons->addWidget(widget);
  }
  grid->addLayout(buttons, 7, 0, 1, 3);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  FollowFormVisibility(*this, FForm, TShowActivation::Activate);
}

void TQtSettingsDialog::reject() { FApplication.Perform([this] { FForm.Button1Click(); }); }

void TQtSettingsDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  reject();
}
