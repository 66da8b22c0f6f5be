#include "app/qt/QtNumberFormat.h"

#include <QLocale>

TNumberFormat NumberFormatOf(const QLocale& locale) {
  TNumberFormat format;
  const QString separator = locale.decimalPoint();
  format.DecimalSeparator = separator == QStringLiteral(",") ? ',' : '.';
  return format;
}
