#include "app/qt/LevelMeterPanel.h"

#include "analysis/SignalAnalysis.h"

#include <QGridLayout>
#include <QPainter>
#include <QPointer>

namespace {

const QString ClipMark = QStringLiteral("CLIP");

}  // namespace

TMeterBar::TMeterBar(const TSignalAnalysis& analysis, int channel) : FAnalysis(analysis), FChannel(channel) {
  // Bar and readout paint every pixel they cover: a repaint, 30 times a
  // second, then leaves the window behind them alone.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedHeight(8);
  setMinimumWidth(120);
}

TMeterBar::TMarks TMeterBar::MarksNow() const {
  const int width = rect().width() - 1;
  const auto x = [&](double db) { return static_cast<int>(TSignalAnalysis::MeterFraction(db) * width); };
  if (FChannel >= FAnalysis.Channels()) return {};
  const TLevels& levels = FAnalysis.Levels(FChannel);
  return {true, x(levels.rmsDb), x(levels.peakDb), x(FAnalysis.HeldPeakDb(FChannel))};
}

void TMeterBar::Refresh() {
  // Most refreshes move no mark by a whole pixel (a steady signal's levels
  // change by hundredths of a decibel): those paint nothing.
  if (!FPainted || MarksNow() != FShown) update();
}

void TMeterBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect frame = rect().adjusted(0, 0, -1, -1);
  painter.fillRect(frame, palette().color(QPalette::Base));
  FShown = MarksNow();
  FPainted = true;
  if (FShown.Present) {
    painter.fillRect(QRect(frame.left(), frame.top(), FShown.Rms, frame.height()), QColor(0, 150, 60));
    painter.setPen(QColor(230, 160, 0));
    if (FShown.Peak > 0) painter.drawLine(FShown.Peak, frame.top(), FShown.Peak, frame.bottom());
    painter.setPen(QColor(200, 0, 0));
    if (FShown.Held > 0) painter.drawLine(FShown.Held, frame.top(), FShown.Held, frame.bottom());
  }
  painter.setPen(palette().color(FShown.Present ? QPalette::Mid : QPalette::Midlight));
  painter.drawRect(frame);
}

TMeterReadout::TMeterReadout() {
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  setFont(small);
  // The texts come and go with the output; they must not resize the window,
  // which leaves them room for the widest figures from the start.
  setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TMeterReadout::SetText(const QString& text) {
  if (text == FText) return;
  FText = text;
  update();
}

void TMeterReadout::SetClip(bool clip) {
  if (clip == FClip) return;
  FClip = clip;
  update();
}

QSize TMeterReadout::sizeHint() const { return minimumSizeHint(); }

QSize TMeterReadout::minimumSizeHint() const {
  // Room for the widest figures and the "CLIP" mark, so that no window cuts them.
  QFont bold = font();
  bold.setBold(true);
  const int width = fontMetrics().horizontalAdvance(QString::fromStdString(TSignalAnalysis::WidestReadoutText())) +
                    QFontMetrics(bold).horizontalAdvance(ClipMark) + 8;
  return {width, fontMetrics().height()};
}

void TMeterReadout::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  QRect textRect = rect();
  if (FClip) {
    const QString& mark = ClipMark;
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(QColor(200, 0, 0));
    painter.drawText(rect(), Qt::AlignRight | Qt::AlignVCenter, mark);
    textRect.setRight(rect().right() - QFontMetrics(bold).horizontalAdvance(mark) - 4);
    painter.setFont(font());
  }
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(FText, Qt::ElideRight, textRect.width()));
}

TLevelMeterPanel::TLevelMeterPanel(TSignalAnalysis& analysis) : FAnalysis(analysis) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(2, 0, 2, 0);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(1);
  for (int c = 0; c < 2; ++c) {
    FBars[c] = new TMeterBar(analysis, c);
    FReadouts[c] = new TMeterReadout;
    FReadouts[c]->setObjectName(c == 0 ? "lblLevelL" : "lblLevelR");
    grid->addWidget(FBars[c], 0, c);
    grid->addWidget(FReadouts[c], 1, c);
  }
  QPointer<TLevelMeterPanel> self(this);
  analysis.OnLevels.Add([self] {
    if (self) self->Refresh();
  });
  Refresh();
}

void TLevelMeterPanel::Refresh() {
  // The bars follow every refresh; the figures change a third as often,
  // still faster than they can be read, and shaping their text is the
  // dearest part of a refresh. A start or a stop shows at once.
  constexpr int ReadoutEvery = 3;
  const bool readout = FRefreshes++ % ReadoutEvery == 0;
  for (int c = 0; c < 2; ++c) {
    // A channel has figures exactly while it is in the output.
    const bool present = c < FAnalysis.Channels();
    if (readout || present == FReadouts[c]->Text().isEmpty())
      FReadouts[c]->SetText(QString::fromStdString(FAnalysis.ReadoutText(c)));
    FReadouts[c]->SetClip(FAnalysis.Clipping(c));
    FBars[c]->Refresh();
  }
}
