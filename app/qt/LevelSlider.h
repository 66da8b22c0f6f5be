#pragma once
// The vertical level slider: its first position at the top, the groove
// filled below the handle (the level that sounds), one page per notch of the
// wheel; and the scale beside it, which writes the slider's labelled marks
// at the height the handle has at each of them.

#include "app/Controls.h"

#include <QSlider>

class TLevelSlider final : public QSlider {
public:
  explicit TLevelSlider(QWidget* parent = nullptr);

protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

private:
  int FWheelAngle = 0;
};

class TSliderScale final : public QWidget {
public:
  /// bar and slider must outlive the scale.
  TSliderScale(const TTrackBar& bar, QSlider& slider, QWidget* parent = nullptr);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  const TTrackBar& FBar;
  QSlider& FSlider;
};
