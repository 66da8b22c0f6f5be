#include "analysis/SignalAnalysis.h"

#include "analysis/FilterResponse.h"
#include "analysis/PcmSamples.h"

#include <algorithm>
#include <cmath>
#include <cstring>

TSignalAnalysis::TSignalAnalysis(const GeneratorState& state) : FState(state) {}

void TSignalAnalysis::Start(const TAnalysisFormat& format) {
  FFormat = format;
  FFormat.channels = std::clamp(format.channels, 1, 2);
  FFormat.bytesPerSample = format.bytesPerSample == 3 ? 3 : 2;
  FFormat.numBuffers = std::max(format.numBuffers, 1);
  FFormat.bufferBytes = std::max(format.bufferBytes, 0);
  FFormat.sampleRate = std::max(format.sampleRate, 1);
  const int32_t frameBytes = FFormat.channels * FFormat.bytesPerSample;
  const double buffersPerSecond =
      static_cast<double>(FFormat.sampleRate) * frameBytes / std::max(FFormat.bufferBytes, frameBytes);
  FKept.Reset(FFormat.numBuffers + static_cast<int32_t>(std::min(std::ceil(LagSeconds * buffersPerSecond), 4096.0)),
              FFormat.bufferBytes);
  FNextToMeasure = 0;
  FHeardChange = 0;
  FClipped = {};
  const int32_t bufferFrames = FFormat.bufferBytes / frameBytes;
  FScaled.assign(static_cast<size_t>(bufferFrames), 0.0f);
  const double rate = FFormat.sampleRate;
  for (TLevelMeter& meter : FMeters)
    meter.Reset(std::llround(WindowSeconds * rate), std::llround(HoldSeconds * rate), bufferFrames,
                FFormat.fullScale);
  for (TBandSpectrum& spectrum : FSpectrum) spectrum.Reset(FFormat.sampleRate);
  FRefreshFrames = std::max<int64_t>(std::llround(RefreshSeconds * rate), 1);
  FFramesSinceRefresh = 0;
  FBlocksShown = 0;
  FStarted = 1;
  OnLevels.Fire();
  OnResponse.Fire();
}

void TSignalAnalysis::BufferFilled(const uint8_t* buffer, int32_t bytes, int64_t sequence,
                                   const TBufferMarks& marks) noexcept {
  FKept.Keep(buffer, bytes, sequence, marks);
}

void TSignalAnalysis::BufferPlaying(int64_t playing) noexcept {
  if (!FStarted) return;
  for (const int64_t newest = FKept.Newest(); FNextToMeasure <= playing && FNextToMeasure <= newest; ++FNextToMeasure) {
    int32_t bytes = 0;
    TBufferMarks marks;
    const uint8_t* copy = FKept.Find(FNextToMeasure, bytes, marks);
    if (!copy) continue;
    if (marks.Change != FHeardChange) {
      FHeardChange = marks.Change;
      RestartSpectrum();
    }
    Measure(copy, bytes, marks);
  }
  FKept.Release(FNextToMeasure);
  Refresh();
}

bool TSignalAnalysis::Silence(double seconds) noexcept {
  if (!FStarted) return false;
  const int64_t frames = std::llround(seconds * FFormat.sampleRate);
  const int64_t stretch = std::max<int64_t>(FScaled.size(), 1);
  for (int64_t left = frames; left > 0; left -= stretch) {
    TLevelSums silent;
    silent.frames = std::min(left, stretch);
    for (int c = 0; c < FFormat.channels; ++c) FMeters[static_cast<size_t>(c)].Add(silent);
    FFramesSinceRefresh += silent.frames;
  }
  Refresh();
  for (int c = 0; c < FFormat.channels; ++c)
    if (std::isfinite(Levels(c).peakDb) || std::isfinite(HeldPeakDb(c)) || Clipping(c)) return true;
  return false;
}

void TSignalAnalysis::Refresh() noexcept {
  if (FFramesSinceRefresh < FRefreshFrames) return;
  FFramesSinceRefresh = 0;
  OnLevels.Fire();
  if (FResponseVisible && FSpectrum[0].Blocks() != FBlocksShown) {
    FBlocksShown = FSpectrum[0].Blocks();
    OnResponse.Fire();
  }
}

void TSignalAnalysis::Measure(const uint8_t* buffer, int32_t bytes, const TBufferMarks& marks) noexcept {
  const int32_t frameBytes = FFormat.channels * FFormat.bytesPerSample;
  const int32_t frames = std::min(bytes / frameBytes, static_cast<int32_t>(FScaled.size()));
  for (int c = 0; c < FFormat.channels; ++c) {
    TLevelSums sums;
    float* scaled = FResponseVisible ? FScaled.data() : nullptr;
    ReadChannel(buffer, frames, FFormat.channels, FFormat.bytesPerSample, c, FFormat.fullScale, sums, scaled);
    FMeters[static_cast<size_t>(c)].Add(sums, marks.Clipped[c]);
    FClipped[static_cast<size_t>(c)] += marks.Clipped[c];
    if (scaled) FSpectrum[static_cast<size_t>(c)].Add(scaled, frames);
  }
  FFramesSinceRefresh += frames;
}

void TSignalAnalysis::Prepared() {
  // The new designs show at once; the average starts again with the first
  // buffer rendered from them.
  OnResponse.Fire();
}

void TSignalAnalysis::RestartSpectrum() noexcept {
  for (TBandSpectrum& spectrum : FSpectrum) spectrum.Clear();
  FBlocksShown = -1;  // the restart shows at the next refresh even before a block is measured
}

void TSignalAnalysis::ShowResponse() {
  FResponseVisible = true;
  for (TBandSpectrum& spectrum : FSpectrum) spectrum.Clear();
  FBlocksShown = 0;
  OnShowResponse.Fire();
  OnResponse.Fire();
}

void TSignalAnalysis::HideResponse() {
  FResponseVisible = false;
  OnHideResponse.Fire();
}

void TSignalAnalysis::ResponseClosed() { FResponseVisible = false; }

namespace {

const TLevels SilentLevels = LevelsOf(TLevelSums{}, 1);

}  // namespace

const TLevels& TSignalAnalysis::Levels(int c) const noexcept {
  return c >= 0 && c < Channels() ? FMeters[static_cast<size_t>(c)].Levels() : SilentLevels;
}

double TSignalAnalysis::HeldPeakDb(int c) const noexcept {
  return c >= 0 && c < Channels() ? FMeters[static_cast<size_t>(c)].HeldPeakDb() : SilentLevels.peakDb;
}

bool TSignalAnalysis::Clipping(int c) const noexcept {
  return c >= 0 && c < Channels() && FMeters[static_cast<size_t>(c)].Clipping();
}

namespace {

std::string ReadoutOf(const TLevels& l) {
  return "Peak " + DbText(l.peakDb) + " dBFS   RMS " + DbText(l.rmsDb) + " dBFS   Crest " + CrestRatioText(l.crest);
}

}  // namespace

std::string TSignalAnalysis::ReadoutText(int c) const {
  if (c < 0 || c >= Channels()) return {};
  return ReadoutOf(Levels(c));
}

std::string TSignalAnalysis::WidestReadoutText() { return ReadoutOf({-100.88, -100.88, 88.88}); }

double TSignalAnalysis::MeterFraction(double db) noexcept {
  if (!(db > MeterFloorDb)) return 0;
  return std::min(1.0, (db - MeterFloorDb) / -MeterFloorDb);
}

bool TSignalAnalysis::ChannelActive(int c) const noexcept {
  if (FState.channels != cmStereo) return c == 0;
  if (c == 0) return FState.left.channelOn != 0;
  return c == 1 && (FState.asLeft ? FState.left.channelOn : FState.right.channelOn) != 0;
}

double TSignalAnalysis::DesignedResponseDb(int c, double frequencyHz) const noexcept {
  const bool right = c == 1 && FState.channels == cmStereo && !FState.asLeft;
  return ::DesignedResponseDb(right ? FState.filterR : FState.filterL,
                              right ? FState.right.filterType : FState.left.filterType, frequencyHz,
                              FState.sampleRate);
}

int32_t TSignalAnalysis::SampleRate() const noexcept { return FState.sampleRate; }
