#pragma once
// The geometry of the Response window's plot: where a frequency and a level
// lie, and which axis labels fit without touching each other at the
// window's size and font.

#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

struct TAxisLabel {
  QRectF Rect;
  QString Text;
  Qt::Alignment Align;
};

class TResponseAxes {
public:
  static constexpr double TopDb = 20, BottomDb = -80;
  /// The lower edge of the 20 Hz band, so that its bars are drawn whole.
  static const double LowHz;

  /// The plot inside a window of size, with text of metrics, up to topHz.
  TResponseAxes(const QSizeF& size, const QFontMetricsF& metrics, double topHz);

  QRectF Plot() const { return FPlot; }
  double TopHz() const { return FTopHz; }
  double X(double hz) const;
  /// The level's height, clamped to the plot.
  double Y(double db) const;
  /// The grid's frequencies: 1, 2 and 5 of each decade on the axis.
  std::vector<double> GridHz() const;
  /// The dB and frequency labels that fit, and the axis caption (whole, in
  /// one label per line), none touching another.
  std::vector<TAxisLabel> Labels() const;

private:
  void AddDbLabels(std::vector<TAxisLabel>& labels) const;
  void AddHzLabels(std::vector<TAxisLabel>& labels) const;

  QSizeF FSize;
  QFontMetricsF FMetrics;
  double FTopHz;
  double FLine, FPad;
  QStringList FCaption;
  QRectF FPlot;
};
