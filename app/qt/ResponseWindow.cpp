#include "app/qt/ResponseWindow.h"

#include "analysis/SignalAnalysis.h"
#include "app/qt/ResponseAxes.h"
#include "app/qt/ResponsePlacement.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

const QSize PreferredSize(720, 420);
const QColor ChannelColours[2] = {QColor(30, 90, 200), QColor(200, 40, 40)};
const char* const ChannelNames[2] = {"Left", "Right"};

}  // namespace

TResponseWindow::TResponseWindow(TSignalAnalysis& analysis, QWidget* parent)
    : QWidget(parent, Qt::Window), FAnalysis(analysis) {
  setWindowTitle("Response");
  setObjectName("frmResponse");
  resize(PreferredSize);
  setMinimumSize(420, 260);
  QPointer<TResponseWindow> self(this);
  analysis.OnShowResponse.Add([self] {
    if (self) self->Open();
  });
  analysis.OnHideResponse.Add([self] {
    if (self) self->close();
  });
  analysis.OnResponse.Add([self] {
    if (self && self->isVisible()) self->update();
  });
}

void TResponseWindow::Open() {
  QWidget* main = parentWidget();
  if (!isVisible() && !ProgramPlacesWindows()) {
    resize(PreferredSize);  // the compositor places it
  } else if (!isVisible() && main != nullptr && main->isVisible()) {
    // A frame as the main window's, whose size is known once it is shown.
    const QSize frame = main->frameGeometry().size() - main->size();
    const TPlacedPair pair = PlaceBesideMovingMain(main->frameGeometry(), PreferredSize + frame,
                                                   minimumSize() + frame, main->screen()->availableGeometry());
    if (pair.Main.topLeft() != main->frameGeometry().topLeft()) main->move(pair.Main.topLeft());
    resize(pair.Placed.size() - frame);
    move(pair.Placed.topLeft());
  }
  show();
  raise();
  activateWindow();
}

void TResponseWindow::closeEvent(QCloseEvent* event) {
  FAnalysis.ResponseClosed();
  QWidget::closeEvent(event);
}

void TResponseWindow::paintEvent(QPaintEvent*) {
  const TResponseAxes axes(size(), QFontMetricsF(font()), FAnalysis.SampleRate() / 2.0);
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  painter.fillRect(axes.Plot(), palette().color(QPalette::Base));
  DrawGrid(painter, axes);
  painter.setClipRect(axes.Plot());
  DrawBands(painter, axes);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawResponses(painter, axes);
}

void TResponseWindow::DrawGrid(QPainter& painter, const TResponseAxes& axes) const {
  const QRectF p = axes.Plot();
  const QColor grid = palette().color(QPalette::Mid);
  for (double db = TResponseAxes::BottomDb; db <= TResponseAxes::TopDb; db += 10) {
    painter.setPen(QPen(grid, db == 0 ? 1.5 : 0.5));
    painter.drawLine(QPointF(p.left(), axes.Y(db)), QPointF(p.right(), axes.Y(db)));
  }
  painter.setPen(QPen(grid, 0.5));
  for (double hz : axes.GridHz()) painter.drawLine(QPointF(axes.X(hz), p.top()), QPointF(axes.X(hz), p.bottom()));
  painter.setPen(palette().color(QPalette::WindowText));
  for (const TAxisLabel& label : axes.Labels()) painter.drawText(label.Rect, label.Align, label.Text);
  const QFontMetricsF metrics(font());
  double right = p.right() - metrics.height() / 2;
  for (int c = 1; c >= 0; --c) {
    if (!FAnalysis.ChannelActive(c)) continue;
    const double width = metrics.horizontalAdvance(ChannelNames[c]) + 2;
    painter.setPen(ChannelColours[c]);
    painter.drawText(QRectF(right - width, p.top() + 4, width, metrics.height()), Qt::AlignRight, ChannelNames[c]);
    right -= width + metrics.height() / 2;
  }
}

void TResponseWindow::DrawBands(QPainter& painter, const TResponseAxes& axes) const {
  for (int c = 0; c < FAnalysis.Channels(); ++c) {
    const TBandSpectrum& spectrum = FAnalysis.Spectrum(c);
    if (spectrum.Blocks() == 0) continue;
    QColor fill = ChannelColours[c];
    fill.setAlpha(110);
    for (int32_t b = 0; b < spectrum.BandCount(); ++b) {
      const double centre = spectrum.BandCentreHz(b);
      const double low = axes.X(centre * std::pow(10.0, -0.05));
      const double high = axes.X(std::min(centre * std::pow(10.0, 0.05), axes.TopHz()));
      const double half = (high - low) / 2;
      const double left = low + half * c + 1, top = axes.Y(spectrum.BandLevelDb(b));
      painter.fillRect(QRectF(left, top, std::max(half - 2, 1.0), axes.Y(TResponseAxes::BottomDb) - top), fill);
    }
  }
}

void TResponseWindow::DrawResponses(QPainter& painter, const TResponseAxes& axes) const {
  const QRectF p = axes.Plot();
  for (int c = 0; c < 2; ++c) {
    if (!FAnalysis.ChannelActive(c)) continue;
    QPainterPath line;
    for (int i = 0; i <= static_cast<int>(p.width()); ++i) {
      const double hz = TResponseAxes::LowHz * std::pow(axes.TopHz() / TResponseAxes::LowHz, i / p.width());
      const QPointF point(p.left() + i, axes.Y(FAnalysis.DesignedResponseDb(c, hz)));
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
