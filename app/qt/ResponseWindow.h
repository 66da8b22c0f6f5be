#pragma once
// The "Response" window: the designed filter response of each active
// channel as a line and, while the output runs, the measured 1/3-octave band
// levels as bars, over a log-frequency axis and a dB axis. It shows what the
// window's analysis holds and tells it when it opens and closes.

#include <QWidget>

class TSignalAnalysis;

class TResponseWindow final : public QWidget {
public:
  /// analysis must outlive the window; parent is the main window.
  TResponseWindow(TSignalAnalysis& analysis, QWidget* parent);

protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  QRectF Plot() const;
  double X(double hz) const;
  double Y(double db) const;
  double TopHz() const;
  void DrawGrid(class QPainter& painter) const;
  void DrawBands(QPainter& painter) const;
  void DrawResponses(QPainter& painter) const;

  TSignalAnalysis& FAnalysis;
};
