#include "app/qt/ReferenceNoiseWindow.h"

#include "app/Application.h"
#include "app/qt/FormBinder.h"
#include "app/qt/FormVisibility.h"
#include "app/qt/LevelMeterPanel.h"
#include "playback/frmReferenceNoise.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TQtReferenceNoiseWindow::TQtReferenceNoiseWindow(TfrmReferenceNoise& form, TApplication& application,
                                                 TSignalAnalysis& analysis, QWidget* parent)
    : QDialog(parent, Qt::Window), FForm(form), FApplication(application),
      FBinder(new TFormBinder(form, *this, application)) {
  setWindowTitle(QString::fromStdString(form.Caption()));
  setObjectName("frmReferenceNoise");
  const auto label = [this](TLabel& control) {
    auto* widget = new QLabel;
    widget->setWordWrap(true);
    FBinder->BindLabel(control, *widget);
    return widget;
  };
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(12, 12, 12, 12);
  column->addWidget(label(form.lblLevel));
  auto* channelRow = new QHBoxLayout;
  channelRow->addWidget(label(form.lblChannel));
  auto* channel = new QComboBox;
  FBinder->BindComboBox(form.cboChannel, *channel);
  channelRow->addWidget(channel, 1);
  column->addLayout(channelRow);
  auto* stepRow = new QHBoxLayout;
  auto* stepAll = new QCheckBox;
  FBinder->BindCheckBox(form.chkStepAll, *stepAll);
  stepRow->addWidget(stepAll);
  auto* stepTime = new QComboBox;
  FBinder->BindComboBox(form.cboStepTime, *stepTime);
  stepRow->addWidget(stepTime);
  stepRow->addStretch(1);
  for (TButton* button : {&form.btnPrevious, &form.btnNext}) {
    auto* widget = new QPushButton;
    FBinder->BindButton(*button, *widget);
    stepRow->addWidget(widget);
  }
  column->addLayout(stepRow);
  column->addWidget(label(form.lblCurrent));
  for (TLabel* l : {&form.lblRate, &form.lblDevice, &form.lblStatus}) column->addWidget(label(*l));
  column->addWidget(new TLevelMeterPanel(analysis));
  column->addWidget(label(form.lblDropouts));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (TButton* button : {&form.btnStart, &form.btnStop, &form.btnHelp, &form.btnClose}) {
    auto* widget = new QPushButton;
    FBinder->BindButton(*button, *widget);
    buttons->addWidget(widget);
  }
  column->addLayout(buttons);
  // As wide as the meter's figures need at any text size (a fixed minimum
  // width would stand in the way of the layout's own).
  column->setSizeConstraint(QLayout::SetMinimumSize);
  FollowFormVisibility(*this, FForm, TShowActivation::Activate);
}

void TQtReferenceNoiseWindow::reject() { FApplication.Perform([this] { FForm.btnCloseClick(); }); }

void TQtReferenceNoiseWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  reject();
}
