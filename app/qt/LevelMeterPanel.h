#pragma once
// The level meters under the channel boxes: one slim bar per channel (RMS
// filled, the peak as a line, the held peak as a tick) with its readout.
// They show what the window's analysis measured; they decide nothing.

#include <QWidget>

class QLabel;
class TSignalAnalysis;

class TMeterBar final : public QWidget {
public:
  TMeterBar(const TSignalAnalysis& analysis, int channel);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  const TSignalAnalysis& FAnalysis;
  int FChannel;
};

class TLevelMeterPanel final : public QWidget {
public:
  /// analysis must outlive the panel.
  explicit TLevelMeterPanel(TSignalAnalysis& analysis);

private:
  void Refresh();

  TSignalAnalysis& FAnalysis;
  TMeterBar* FBars[2];
  QLabel* FReadouts[2];
};
