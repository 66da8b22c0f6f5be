#include "app/qt/CheckGroupBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
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
  FTitle->installEventFilter(this);
}

bool TCheckGroupBox::eventFilter(QObject* watched, QEvent* event) {
  // A click on the title is a click on its check box, as on the box's own caption.
  if (watched == FTitle && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && FTitle->rect().contains(mouse->position().toPoint()) &&
        FCheckBox->isEnabled())
      FCheckBox->click();
  }
  return false;
}
