#include "app/qt/CheckGroupBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

TCheckGroupBox::TCheckGroupBox(QWidget* parent)
    : QWidget(parent), FCheckBox(new QCheckBox), FTitle(new QLabel), FFrame(new QGroupBox) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* titleRow = new QHBoxLayout;
  titleRow->setContentsMargins(2, 0, 0, 0);
  titleRow->setSpacing(0);
  titleRow->addWidget(FCheckBox);
  titleRow->addWidget(FTitle);
  titleRow->addStretch(1);
  column->addLayout(titleRow);
  column->addWidget(FFrame, 1);
}
