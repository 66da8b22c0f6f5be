#pragma once
// What the generator window shows of its own output: a level meter per
// channel and, while the Response window is open, the channels' designed
// filter responses over the measured 1/3-octave spectrum.
//
// The fill runs a ring of buffers ahead of the sound, on the output's render
// thread: it hands each filled buffer over (a copy, kept without a lock),
// and the GUI thread measures it when the device plays it, so the figures
// are those of the buffer the device is playing now. Everything else runs on
// the GUI thread. The window owns this object; it hands over the output
// format at each start, every filled buffer, the buffers played, and each
// preparation.

#include "analysis/BandSpectrum.h"
#include "analysis/BufferCopies.h"
#include "analysis/LevelMeter.h"
#include "engine/GeneratorState.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

/// The format of an output run.
struct TAnalysisFormat {
  int32_t sampleRate = 44100;
  int32_t channels = 2;        ///< 1 or 2, interleaved left first
  int32_t bytesPerSample = 2;  ///< 2 or 3
  int32_t fullScale = 32767;
  int32_t numBuffers = 4;      ///< buffers in the output's ring
  int32_t bufferBytes = 8192;
};

/// Observers of one kind of change.
class TAnalysisEvent {
public:
  void Add(std::function<void()> observer) { FObservers.push_back(std::move(observer)); }
  void Fire() const {
    for (const auto& o : FObservers) o();
  }

private:
  std::vector<std::function<void()>> FObservers;
};

class TSignalAnalysis {
public:
  /// The meter's window and peak hold.
  static constexpr double WindowSeconds = 0.3;
  static constexpr double HoldSeconds = 2.0;
  /// The meter and the spectrum notify their observers at most this often
  /// (in played time), so that their windows repaint at most 30 times a second.
  static constexpr double RefreshSeconds = 1.0 / 30;
  /// Beyond the output's ring, copies are kept for a GUI thread that lags this long.
  static constexpr double LagSeconds = 1.0;
  /// Bar range of the meter: -100 dBFS (empty) to 0 dBFS (full).
  static constexpr double MeterFloorDb = -100;

  /// state is the window's generator state, read for the filter designs; it
  /// must outlive this object.
  explicit TSignalAnalysis(const GeneratorState& state);

  // ---- fed by the window ----
  /// A new run: clears the meters and the spectrum and sizes every buffer
  /// for the format (the only allocations).
  void Start(const TAnalysisFormat& format);
  /// Fill thread: the fill wrote buffer number `sequence` of the run (0
  /// first). Keeps a copy; allocates nothing and takes no lock.
  void BufferFilled(const uint8_t* buffer, int32_t bytes, int64_t sequence, const TBufferMarks& marks = {}) noexcept;
  /// The device plays buffer `playing`: measures every kept buffer up to it.
  /// The spectrum's average starts again with the first buffer rendered
  /// after a change of the settings. Allocates nothing.
  void BufferPlaying(int64_t playing) noexcept;
  /// The signal was prepared again: new filter designs.
  void Prepared();
  /// Nothing has played for `seconds` more (after a stop, a change of
  /// channels, an export): the meter falls as it would with silence. False
  /// once it shows silence and no clip.
  bool Silence(double seconds) noexcept;

  // ---- the Response window ----
  /// Opens the Response window; the spectrum is measured only while it is open.
  void ShowResponse();
  /// Closes the Response window.
  void HideResponse();
  void ResponseClosed();
  bool ResponseVisible() const noexcept { return FResponseVisible; }

  // ---- what the view shows ----
  /// Channels of the last run (0 before the first).
  int32_t Channels() const noexcept { return FFormat.channels * FStarted; }
  /// Figures of channel c (0 left / mono, 1 right); silence when c is not in the output.
  const TLevels& Levels(int c) const noexcept;
  double HeldPeakDb(int c) const noexcept;
  /// Channel c played a saturated sample within the last HoldSeconds.
  bool Clipping(int c) const noexcept;
  /// Samples of channel c that the store step saturated, played in the run so far.
  int64_t ClippedSamples(int c) const noexcept { return c == 0 || c == 1 ? FClipped[static_cast<size_t>(c)] : 0; }
  /// Saturated samples of both channels played in the run so far.
  int64_t ClippedSamples() const noexcept { return FClipped[0] + FClipped[1]; }
  /// Buffers of the run measured so far.
  int64_t MeasuredBuffers() const noexcept { return FNextToMeasure; }
  /// "Peak -0.01 dBFS  RMS -12.04 dBFS  Crest 4.00:1"; empty when c is not in the output.
  std::string ReadoutText(int c) const;
  /// A readout as wide as the meter's figures make it (levels down to
  /// -100 dBFS, crest factors below 100), for the room a window leaves it.
  static std::string WidestReadoutText();
  /// Where a level lies on the meter's bar: 0 at MeterFloorDb or below, 1 at 0 dBFS or above.
  static double MeterFraction(double db) noexcept;

  /// The channels the output plays with their switches on (by the settings of the last fill or preparation).
  bool ChannelActive(int c) const noexcept;
  /// Designed response of channel c at frequencyHz ("= Left" plays the left design on the right).
  double DesignedResponseDb(int c, double frequencyHz) const noexcept;
  /// The sample rate the response and spectrum refer to.
  int32_t SampleRate() const noexcept;
  /// Measured spectrum of channel c of the run (empty bands before a run).
  const TBandSpectrum& Spectrum(int c) const noexcept { return FSpectrum[c == 1 ? 1 : 0]; }

  TAnalysisEvent OnLevels;        ///< the meter's figures changed
  TAnalysisEvent OnResponse;      ///< designs or spectrum changed
  TAnalysisEvent OnShowResponse;  ///< the Response window is to be shown
  TAnalysisEvent OnHideResponse;  ///< the Response window is to be closed

private:
  void Measure(const uint8_t* buffer, int32_t bytes, const TBufferMarks& marks) noexcept;
  void RestartSpectrum() noexcept;
  /// Tells the observers, at most once per RefreshSeconds of played frames.
  void Refresh() noexcept;

  const GeneratorState& FState;
  TAnalysisFormat FFormat;
  int32_t FStarted = 0;
  bool FResponseVisible = false;

  TBufferCopies FKept;
  int64_t FNextToMeasure = 0;
  uint64_t FHeardChange = 0;           // the settings change of the buffer measured last
  std::vector<float> FScaled;          // one channel of one buffer, scaled to full scale 1
  std::array<TLevelMeter, 2> FMeters;
  std::array<int64_t, 2> FClipped{};
  std::array<TBandSpectrum, 2> FSpectrum;
  int64_t FFramesSinceRefresh = 0;
  int64_t FRefreshFrames = 1;
  int64_t FBlocksShown = 0;
};
