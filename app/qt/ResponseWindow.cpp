#include "app/qt/ResponseWindow.h"

#include "analysis/SignalAnalysis.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace {

constexpr double LowHz = 20;
constexpr double TopDb = 20, BottomDb = -80;
const QColor ChannelColours[2] = {QColor(30, 90, 200), QColor(200, 40, 40)};
const char* const ChannelNames[2] = {"Left", "Right"};

}  // namespace

TResponseWindow::TResponseWindow(TSignalAnalysis& analysis, QWidget* parent)
    : QWidget(parent, Qt::Window), FAnalysis(analysis) {
  setWindowTitle("Response");
  setObjectName("frmResponse");
  resize(720, 420);
  setMinimumSize(420, 260);
  QPointer<TResponseWindow> self(this);
  analysis.OnShowResponse.Add([self] {
    if (!self) return;
    self->show();
    self->raise();
    self->activateWindow();
  });
  analysis.OnResponse.Add([self] {
    if (self && self->isVisible()) self->update();
  });
}

void TResponseWindow::closeEvent(QCloseEvent* event) {
  FAnalysis.ResponseClosed();
  QWidget::closeEvent(event);
}

QRectF TResponseWindow::Plot() const { return QRectF(56, 16, width() - 72, height() - 56); }

double TResponseWindow::TopHz() const { return std::max(FAnalysis.SampleRate() / 2.0, 2 * LowHz); }

double TResponseWindow::X(double hz) const {
  const QRectF p = Plot();
  return p.left() + p.width() * std::log(hz / LowHz) / std::log(TopHz() / LowHz);
}

double TResponseWindow::Y(double db) const {
  const QRectF p = Plot();
  const double clamped = std::clamp(db, BottomDb, TopDb);
  return p.top() + p.height() * (TopDb - clamped) / (TopDb - BottomDb);
}

void TResponseWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  painter.fillRect(Plot(), palette().color(QPalette::Base));
  DrawGrid(painter);
  painter.setClipRect(Plot());
  DrawBands(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawResponses(painter);
}

void TResponseWindow::DrawGrid(QPainter& painter) const {
  const QRectF p = Plot();
  const QColor grid = palette().color(QPalette::Mid);
  const QColor text = palette().color(QPalette::WindowText);
  for (double db = BottomDb; db <= TopDb; db += 10) {
    painter.setPen(QPen(grid, db == 0 ? 1.5 : 0.5));
    painter.drawLine(QPointF(p.left(), Y(db)), QPointF(p.right(), Y(db)));
    painter.setPen(text);
    painter.drawText(QRectF(0, Y(db) - 8, p.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(db));
  }
  for (double decade = 10; decade <= 100000; decade *= 10)
    for (double step : {1.0, 2.0, 5.0}) {
      const double hz = decade * step;
      if (hz < LowHz || hz > TopHz()) continue;
      painter.setPen(QPen(grid, 0.5));
      painter.drawLine(QPointF(X(hz), p.top()), QPointF(X(hz), p.bottom()));
      painter.setPen(text);
      const QString label = hz >= 1000 ? QString::number(hz / 1000) + "k" : QString::number(hz);
      painter.drawText(QRectF(X(hz) - 20, p.bottom() + 2, 40, 16), Qt::AlignHCenter | Qt::AlignTop, label);
    }
  painter.drawText(QRectF(p.left(), p.bottom() + 18, p.width(), 16), Qt::AlignHCenter,
                   "Hz     (line: designed response in dB; bars: measured 1/3-octave bands in dBFS)");
  for (int c = 0; c < 2; ++c) {
    painter.setPen(ChannelColours[c]);
    painter.drawText(QRectF(p.right() - 110 + 55 * c, p.top() + 4, 50, 16), Qt::AlignRight, ChannelNames[c]);
  }
}

void TResponseWindow::DrawBands(QPainter& painter) const {
  for (int c = 0; c < FAnalysis.Channels(); ++c) {
    const TBandSpectrum& spectrum = FAnalysis.Spectrum(c);
    if (spectrum.Blocks() == 0) continue;
    QColor fill = ChannelColours[c];
    fill.setAlpha(110);
    for (int32_t b = 0; b < spectrum.BandCount(); ++b) {
      const double centre = spectrum.BandCentreHz(b);
      const double low = X(centre * std::pow(10.0, -0.05)), high = X(std::min(centre * std::pow(10.0, 0.05), TopHz()));
      const double half = (high - low) / 2;
      const double left = low + half * c + 1, top = Y(spectrum.BandLevelDb(b));
      painter.fillRect(QRectF(left, top, std::max(half - 2, 1.0), Y(BottomDb) - top), fill);
    }
  }
}

void TResponseWindow::DrawResponses(QPainter& painter) const {
  const QRectF p = Plot();
  for (int c = 0; c < 2; ++c) {
    if (!FAnalysis.ChannelActive(c)) continue;
    QPainterPath line;
    for (int i = 0; i <= static_cast<int>(p.width()); ++i) {
      const double hz = LowHz * std::pow(TopHz() / LowHz, i / p.width());
      const QPointF point(p.left() + i, Y(FAnalysis.DesignedResponseDb(c, hz)));
      if (i == 0)
        line.moveTo(point);
      else
        line.lineTo(point);
    }
    // The right line is dashed so that identical designs stay visible.
    painter.setPen(QPen(ChannelColours[c], 2, c == 0 ? Qt::SolidLine : Qt::DashLine));
    painter.drawPath(line);
  }
}
