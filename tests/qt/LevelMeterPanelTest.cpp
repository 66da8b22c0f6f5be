// The meter's bars on screen: a bar repaints when one of its marks moves and
// leaves the screen alone while the levels hold.

#include "analysis/SignalAnalysis.h"
#include "app/qt/LevelMeterPanel.h"
#include "tests/qt/QtApplication.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class TPaintCount final : public QObject {
public:
  int Paints = 0;

protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints;
    return false;
  }
};

TEST(LevelMeterPanel, ABarRepaintsWhenAMarkMovesAndNotWhileTheLevelsHold) {
  TestApplication();
  GeneratorState state;
  TSignalAnalysis analysis(state);
  TLevelMeterPanel panel(analysis);
  panel.resize(600, 40);
  panel.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  constexpr int32_t Frames = 4800;  // 0.1 s: three buffers fill the meter's window
  analysis.Start({48000, 1, 2, 32767, 2, Frames * 2});
  TMeterBar* bar = panel.findChildren<TMeterBar*>().front();
  TPaintCount count;
  bar->installEventFilter(&count);
  std::vector<uint8_t> buffer(Frames * 2);
  int64_t sequence = 0;
  // Plays buffers of a square wave, whose RMS and peak are both amplitude; the paints they caused.
  const auto paintsOf = [&](int16_t amplitude, int buffers) {
    count.Paints = 0;
    for (int b = 0; b < buffers; ++b) {
      for (int32_t i = 0; i < Frames; ++i) {
        const int16_t s = i % 2 ? amplitude : static_cast<int16_t>(-amplitude);
        std::memcpy(&buffer[static_cast<size_t>(i) * 2], &s, 2);
      }
      analysis.BufferFilled(buffer.data(), Frames * 2, sequence);
      analysis.BufferPlaying(sequence++);
      QTest::qWait(5);
    }
    return count.Paints;
  };
  EXPECT_GT(paintsOf(3277, 4), 0) << "-20 dBFS shows";
  EXPECT_EQ(paintsOf(3277, 4), 0) << "the same level again paints nothing";
  EXPECT_GT(paintsOf(16384, 1), 0) << "-6 dBFS moves the marks";
  EXPECT_GT(paintsOf(16384, 2), 0) << "the RMS climbs over the window";
  EXPECT_EQ(paintsOf(16384, 4), 0) << "and holds";
  EXPECT_GT(paintsOf(3277, 1), 0) << "a quieter buffer lowers the RMS while the peak is held";
}

}  // namespace
