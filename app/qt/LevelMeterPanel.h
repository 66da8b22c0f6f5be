#pragma once
// The level meters under the channel boxes: one slim bar per channel (RMS
// filled, the peak as a line, the held peak as a tick) with its readout.
// They show what the window's analysis measured; they decide nothing.

#include <QWidget>

class TSignalAnalysis;

class TMeterBar final : public QWidget {
public:
  TMeterBar(const TSignalAnalysis& analysis, int channel);
  /// Repaints the bar when what it would draw differs from what it shows.
  void Refresh();

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  /// What the bar draws, in pixels: the RMS fill's end, the peak and held-peak lines.
  struct TMarks {
    bool Present = false;
    int Rms = 0, Peak = 0, Held = 0;
    bool operator==(const TMarks&) const = default;
  };
  TMarks MarksNow() const;

  const TSignalAnalysis& FAnalysis;
  int FChannel;
  TMarks FShown;
  bool FPainted = false;
};

/// One line of figures under a bar. Drawn by itself rather than as a label:
/// a label's new text makes the whole window lay itself out again, 30 times
/// a second while the output plays.
class TMeterReadout final : public QWidget {
public:
  TMeterReadout();
  void SetText(const QString& text);
  const QString& Text() const { return FText; }
  /// A red "CLIP" at the line's end: saturated samples were played lately.
  void SetClip(bool clip);
  bool Clip() const { return FClip; }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QString FText;
  bool FClip = false;
};

class TLevelMeterPanel final : public QWidget {
public:
  /// analysis must outlive the panel.
  explicit TLevelMeterPanel(TSignalAnalysis& analysis);

private:
  void Refresh();

  TSignalAnalysis& FAnalysis;
  TMeterBar* FBars[2];
  TMeterReadout* FReadouts[2];
  int FRefreshes = 0;
};
