#include "app/qt/ResponseAxes.h"

#include <algorithm>
#include <cmath>

namespace {

const QString WidestDbText = QStringLiteral("-80");
const QString Caption = QStringLiteral("Hz     (line: designed response in dB; bars: measured 1/3-octave bands in dBFS)");

/// text in lines no wider than width, broken after a blank before a word;
/// a word wider than width stands on a line of its own.
QStringList Wrapped(const QString& text, const QFontMetricsF& metrics, double width) {
  QStringList lines;
  qsizetype start = 0, lastBreak = -1;
  for (qsizetype i = 0; i <= text.size(); ++i) {
    const bool end = i == text.size();
    if (!end && !(text[i] == QLatin1Char(' ') && i + 1 < text.size() && text[i + 1] != QLatin1Char(' '))) continue;
    if (metrics.horizontalAdvance(text.mid(start, i - start)) > width && lastBreak > start) {
      lines << text.mid(start, lastBreak - start);
      start = lastBreak + 1;
    }
    if (end) break;
    lastBreak = i;
  }
  lines << text.mid(start);
  return lines;
}

QString HzText(double hz) { return hz >= 1000 ? QString::number(hz / 1000) + QLatin1Char('k') : QString::number(hz); }

/// Adds label unless it leaves bounds or comes nearer than gap to a label added from first on.
void AddIfFree(std::vector<TAxisLabel>& labels, size_t first, TAxisLabel label, const QRectF& bounds, double gap) {
  if (!bounds.contains(label.Rect)) return;
  const QRectF spaced = label.Rect.adjusted(-gap, -gap, gap, gap);
  for (size_t i = first; i < labels.size(); ++i)
    if (labels[i].Rect.intersects(spaced)) return;
  labels.push_back(std::move(label));
}

}  // namespace

const double TResponseAxes::LowHz = 20 * std::pow(10.0, -0.05);

TResponseAxes::TResponseAxes(const QSizeF& size, const QFontMetricsF& metrics, double topHz)
    : FSize(size), FMetrics(metrics), FTopHz(std::max(topHz, 2 * LowHz)), FLine(metrics.height()),
      FPad(std::ceil(metrics.height() / 4)) {
  const double left = metrics.horizontalAdvance(WidestDbText) + 3 * FPad;
  const double right = metrics.horizontalAdvance(HzText(20000)) / 2 + 2 * FPad;
  const double top = FLine / 2 + FPad;
  const double width = std::max(size.width() - left - right, 1.0);
  FCaption = Wrapped(Caption, metrics, width);
  const double bottom = (1 + FCaption.size()) * FLine + 3 * FPad;
  FPlot = QRectF(left, top, width, std::max(size.height() - top - bottom, 1.0));
}

double TResponseAxes::X(double hz) const {
  return FPlot.left() + FPlot.width() * std::log(hz / LowHz) / std::log(FTopHz / LowHz);
}

double TResponseAxes::Y(double db) const {
  const double clamped = std::clamp(db, BottomDb, TopDb);
  return FPlot.top() + FPlot.height() * (TopDb - clamped) / (TopDb - BottomDb);
}

std::vector<double> TResponseAxes::GridHz() const {
  std::vector<double> grid;
  for (double decade = 10; decade <= 100000; decade *= 10)
    for (double step : {1.0, 2.0, 5.0})
      if (decade * step >= LowHz && decade * step <= FTopHz) grid.push_back(decade * step);
  return grid;
}

std::vector<TAxisLabel> TResponseAxes::Labels() const {
  std::vector<TAxisLabel> labels;
  AddDbLabels(labels);
  AddHzLabels(labels);
  // The caption whole, in as many lines as the plot's width needs.
  double y = FPlot.bottom() + 2 * FPad + FLine;
  for (const QString& line : FCaption) {
    labels.push_back({QRectF(FPlot.left(), y, FPlot.width(), FLine), line, Qt::AlignHCenter});
    y += FLine;
  }
  return labels;
}

void TResponseAxes::AddDbLabels(std::vector<TAxisLabel>& labels) const {
  const size_t first = labels.size();
  const QRectF bounds(QPointF(0, 0), FSize);
  // Every 20 dB first, the levels between where they fit (a label never fits twice).
  for (double step : {20.0, 10.0})
    for (double db = TopDb; db >= BottomDb; db -= step) {
      const QRectF rect(0, Y(db) - FLine / 2, FPlot.left() - 2 * FPad, FLine);
      AddIfFree(labels, first, {rect, QString::number(db), Qt::AlignRight | Qt::AlignVCenter}, bounds, FPad);
    }
}

void TResponseAxes::AddHzLabels(std::vector<TAxisLabel>& labels) const {
  const size_t first = labels.size();
  const QRectF bounds(QPointF(0, 0), FSize);
  // The decades first, 2 and 5 where they fit.
  std::vector<double> candidates;
  for (double decade = 100; decade <= FTopHz; decade *= 10) candidates.push_back(decade);
  const std::vector<double> grid = GridHz();
  candidates.insert(candidates.end(), grid.begin(), grid.end());
  for (double hz : candidates) {
    const QString text = HzText(hz);
    const double width = FMetrics.horizontalAdvance(text) + 2;
    const QRectF rect(X(hz) - width / 2, FPlot.bottom() + FPad, width, FLine);
    AddIfFree(labels, first, {rect, text, Qt::AlignHCenter | Qt::AlignTop}, bounds, FPad);
  }
}
