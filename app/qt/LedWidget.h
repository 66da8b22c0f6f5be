#pragma once
// A round status lamp in one colour.

#include <QColor>
#include <QWidget>

class TLedWidget final : public QWidget {
public:
  explicit TLedWidget(QWidget* parent = nullptr);
  void SetColor(const QColor& colour);
  QColor Color() const { return FColor; }
  QSize sizeHint() const override { return {16, 16}; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QColor FColor;
};
