#include "app/qt/LevelSlider.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <algorithm>

namespace {
constexpr int WheelNotch = 120;  // angle units of one notch
}

TLevelSlider::TLevelSlider(QWidget* parent) : QSlider(Qt::Vertical, parent) {
  setInvertedAppearance(true);
  setInvertedControls(true);
  setTickPosition(QSlider::TicksBothSides);
}

void TLevelSlider::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionSlider option;
  initStyleOption(&option);
  // Styles fill the groove on the side of the first position, which is at
  // the top here. Mirroring both the value and the direction keeps the handle
  // where it is and moves the filled part below it.
  option.upsideDown = !option.upsideDown;
  option.sliderPosition = minimum() + maximum() - option.sliderPosition;
  option.sliderValue = minimum() + maximum() - option.sliderValue;
  option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
  if (tickPosition() != QSlider::NoTicks) option.subControls |= QStyle::SC_SliderTickmarks;
  if (isSliderDown()) {
    option.activeSubControls = QStyle::SC_SliderHandle;
    option.state |= QStyle::State_Sunken;
  }
  style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}

void TLevelSlider::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  FWheelAngle += delta.y() != 0 ? delta.y() : delta.x();
  const int notches = FWheelAngle / WheelNotch;
  FWheelAngle -= notches * WheelNotch;
  // Turning the wheel away from the user moves the handle up, as Qt does.
  const int direction = invertedControls() ? -1 : 1;
  if (notches != 0) setValue(value() + direction * notches * pageStep());
  event->accept();
}

TSliderScale::TSliderScale(const TTrackBar& bar, QSlider& slider, QWidget* parent)
    : QWidget(parent), FBar(bar), FSlider(slider) {
  slider.installEventFilter(this);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QSize TSliderScale::sizeHint() const {
  int width = 0;
  for (const TTrackBar::TScaleMark& mark : FBar.Scale)
    width = std::max(width, fontMetrics().horizontalAdvance(QString::fromStdString(mark.Text)));
  return {width + 2, fontMetrics().height()};
}

bool TSliderScale::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::Resize || event->type() == QEvent::Move || event->type() == QEvent::EnabledChange)
    update();
  return false;
}

void TSliderScale::paintEvent(QPaintEvent*) {
  QStyleOptionSlider option;
  option.initFrom(&FSlider);
  option.orientation = Qt::Vertical;
  option.minimum = FSlider.minimum();
  option.maximum = FSlider.maximum();
  option.upsideDown = !FSlider.invertedAppearance();
  option.tickPosition = FSlider.tickPosition();
  QPainter painter(this);
  painter.setPen(palette().color(FSlider.isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  const int lineHeight = fontMetrics().height();
  for (const TTrackBar::TScaleMark& mark : FBar.Scale) {
    option.sliderPosition = option.sliderValue = mark.Position;
    const QRect handle = FSlider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &FSlider);
    const int y = mapFromGlobal(FSlider.mapToGlobal(handle.center())).y();
    painter.drawText(QRect(0, y - lineHeight / 2, width() - 2, lineHeight), Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromStdString(mark.Text));
  }
}
