#include "app/qt/LedWidget.h"

#include <QPainter>

#include <algorithm>

TLedWidget::TLedWidget(QWidget* parent) : QWidget(parent), FColor(128, 0, 0) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TLedWidget::SetColor(const QColor& colour) {
  if (colour == FColor) return;
  FColor = colour;
  update();
}

void TLedWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const int side = std::min(width(), height()) - 2;
  const QRectF lamp((width() - side) / 2.0, (height() - side) / 2.0, side, side);
  QRadialGradient glow(lamp.center() - QPointF(side / 5.0, side / 5.0), side / 1.4);
  glow.setColorAt(0, FColor.lighter(170));
  glow.setColorAt(1, FColor);
  painter.setPen(QPen(FColor.darker(160), 1));
  painter.setBrush(glow);
  painter.drawEllipse(lamp);
}
