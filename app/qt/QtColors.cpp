#include "app/qt/QtColors.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

QColor QtColor(TColor c, const QWidget& widget) {
  if (c == clWindowText) return widget.palette().color(QPalette::WindowText);
  if (c == clBtnFace) return widget.palette().color(QPalette::Button);
  return QColor(int((c >> 16) & 0xff), int((c >> 8) & 0xff), int(c & 0xff));
}

void ApplyFont(const TFont& font, QWidget& widget) {
  QFont qtFont = widget.font();
  qtFont.setBold(font.Bold);
  qtFont.setUnderline(font.Underline);
  if (font.Size > 0) qtFont.setPointSize(font.Size);
  if (qtFont != widget.font()) widget.setFont(qtFont);

  QPalette palette = widget.palette();
  const QPalette desktop = QApplication::palette(&widget);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
      const QColor colour = font.Color == clWindowText || IsSystemColor(font.Color)
                                ? desktop.color(group, role)
                                : QtColor(font.Color, widget);
      palette.setColor(group, role, colour);
    }
  if (palette != widget.palette()) widget.setPalette(palette);
}
