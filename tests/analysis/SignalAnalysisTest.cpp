// The window's analysis: the meter follows the buffer being played, not the
// fill that runs ahead of it; the spectrum runs only while the Response
// window is open; the designed responses follow the channels.

#include "analysis/FilterResponse.h"
#include "analysis/SignalAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int32_t Frames = 480;  // 10 ms at 48 kHz

/// A 16-bit buffer: a square of amplitude `left` and, in stereo, half that on the right.
std::vector<uint8_t> SquareBuffer(int32_t left, int32_t channels) {
  std::vector<uint8_t> b;
  for (int32_t n = 0; n < Frames; ++n)
    for (int32_t a : {left, left / 2}) {
      if (a != left && channels == 1) continue;
      const int32_t s = n % 2 ? a : -a;
      b.push_back(static_cast<uint8_t>(s & 0xFF));
      b.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
    }
  return b;
}

double Db(double amplitude) { return 20 * std::log10(amplitude / 32767); }

class SignalAnalysisTest : public ::testing::Test {
protected:
  void Start(int32_t channels = 2) {
    Channels = channels;
    Analysis.Start({48000, channels, 2, 32767, 3, Frames * 2 * channels});
  }
  void Fill(int64_t sequence, int64_t playing, int32_t amplitude) {
    const auto b = SquareBuffer(amplitude, Channels);
    Analysis.BufferFilled(b.data(), static_cast<int32_t>(b.size()), sequence);
    Analysis.BufferPlaying(playing);
  }
  int32_t Channels = 2;
  GeneratorState State;
  TSignalAnalysis Analysis{State};
};

TEST_F(SignalAnalysisTest, TheMeterShowsTheBufferBeingPlayedNotTheOneJustFilled) {
  Start();
  // The start fills the whole ring while the device is about to play buffer 0;
  // then each returned buffer is refilled with the one after the ring.
  struct TStep { int64_t sequence, playing; int32_t amplitude; double peakDb; };
  const TStep steps[] = {
      {0, 0, 1000, Db(1000)}, {1, 0, 2000, Db(1000)}, {2, 0, 4000, Db(1000)},
      {3, 1, 8000, Db(2000)}, {4, 2, 16000, Db(4000)}, {5, 3, 100, Db(8000)},
  };
  for (const TStep& s : steps) {
    Fill(s.sequence, s.playing, s.amplitude);
    EXPECT_NEAR(Analysis.Levels(0).peakDb, s.peakDb, 1e-9) << "after filling buffer " << s.sequence;
    EXPECT_NEAR(Analysis.Levels(1).peakDb, s.peakDb - 6.0206, 0.001) << "the right channel carries half";
  }
}

TEST_F(SignalAnalysisTest, ReadoutsAndTheirAbsenceInMono) {
  EXPECT_EQ(Analysis.Channels(), 0);
  EXPECT_EQ(Analysis.ReadoutText(0), "");
  Start(1);
  EXPECT_EQ(Analysis.ReadoutText(0), "Peak -inf dBFS   RMS -inf dBFS   Crest -") << "silent until a buffer plays";
  Fill(0, 0, 32767);
  EXPECT_EQ(Analysis.Channels(), 1);
  EXPECT_EQ(Analysis.ReadoutText(0), "Peak 0.00 dBFS   RMS 0.00 dBFS   Crest 1.00:1");
  EXPECT_EQ(Analysis.ReadoutText(1), "") << "no right channel in mono";
  EXPECT_EQ(TSignalAnalysis::MeterFraction(-INFINITY), 0.0);
  EXPECT_EQ(TSignalAnalysis::MeterFraction(-50), 0.5);
  EXPECT_EQ(TSignalAnalysis::MeterFraction(3), 1.0);
}

TEST_F(SignalAnalysisTest, EveryStartBeginsAgainFromSilence) {
  Start();
  Fill(0, 0, 30000);
  Start();
  EXPECT_EQ(Analysis.Levels(0).peakDb, -INFINITY);
  EXPECT_EQ(Analysis.HeldPeakDb(0), -INFINITY);
}

TEST_F(SignalAnalysisTest, TheSpectrumIsMeasuredOnlyWhileTheResponseWindowIsOpen) {
  int shows = 0, responses = 0;
  Analysis.OnShowResponse.Add([&] { ++shows; });
  Analysis.OnResponse.Add([&] { ++responses; });
  Start();
  int64_t sequence = 0;
  const auto play = [&](int buffers) {
    for (int i = 0; i < buffers; ++i, ++sequence) Fill(sequence, sequence, 10000);
  };
  play(200);
  EXPECT_EQ(Analysis.Spectrum(0).Blocks(), 0);
  Analysis.ShowResponse();
  EXPECT_EQ(shows, 1);
  play(200);  // 2 s
  EXPECT_GT(Analysis.Spectrum(0).Blocks(), 0);
  EXPECT_GT(Analysis.Spectrum(1).Blocks(), 0);
  const int responsesWhileOpen = responses;
  Analysis.ResponseClosed();
  const int64_t blocks = Analysis.Spectrum(0).Blocks();
  play(200);
  EXPECT_EQ(Analysis.Spectrum(0).Blocks(), blocks);
  EXPECT_EQ(responses, responsesWhileOpen);
}

TEST_F(SignalAnalysisTest, TheRightChannelDrawsTheLeftDesignWhenItPlaysTheLeftSignal) {
  State.channels = cmStereo;
  SetFilterInputs(State.filterL, 1000, 3, -10, State.sampleRate);
  DesignFilter(State.filterL, ftPeaking);
  State.left.filterType = ftPeaking;
  Analysis.Prepared();
  EXPECT_NEAR(Analysis.DesignedResponseDb(0, 1000), -10, 1e-6);
  EXPECT_EQ(Analysis.DesignedResponseDb(1, 1000), 0.0);
  State.asLeft = true;
  EXPECT_NEAR(Analysis.DesignedResponseDb(1, 1000), -10, 1e-6);

  struct TActive { int32_t channels; bool asLeft; int32_t leftOn, rightOn; bool left, right; };
  const TActive cases[] = {
      {cmMono, false, 1, 1, true, false}, {cmStereo, false, 1, 0, true, false},
      {cmStereo, false, 0, 1, false, true}, {cmStereo, true, 1, 0, true, true},
  };
  for (const TActive& c : cases) {
    State.channels = c.channels;
    State.asLeft = c.asLeft;
    State.left.channelOn = c.leftOn;
    State.right.channelOn = c.rightOn;
    EXPECT_EQ(Analysis.ChannelActive(0), c.left);
    EXPECT_EQ(Analysis.ChannelActive(1), c.right);
  }
}

}  // namespace
