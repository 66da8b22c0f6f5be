#pragma once
// The "Response" window: the designed filter response of each active
// channel as a line and, while the output runs, the measured 1/3-octave band
// levels as bars, over a log-frequency axis and a dB axis. It shows what the
// window's analysis holds and tells it when it opens and closes. It opens
// beside the main window.

#include <QWidget>

class TResponseAxes;
class TSignalAnalysis;

class TResponseWindow final : public QWidget {
public:
  /// analysis must outlive the window; parent is the main window.
  TResponseWindow(TSignalAnalysis& analysis, QWidget* parent);

protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void Open();
  void DrawGrid(class QPainter& painter, const TResponseAxes& axes) const;
  void DrawBands(QPainter& painter, const TResponseAxes& axes) const;
  void DrawResponses(QPainter& painter, const TResponseAxes& axes) const;

  TSignalAnalysis& FAnalysis;
};
