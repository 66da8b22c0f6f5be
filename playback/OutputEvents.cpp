#include "playback/OutputEvents.h"

#include "eventlog/EventLog.h"

#include <algorithm>

void TOutputEvents::Started(const std::string& device, const TRunFormat& format) {
  FRunning = true;
  FDevice = device;
  FFormat = format;
  FReason.clear();
  FLogged = {};
  FMeasured = FClipped = 0;
  FEpisodeFrom = -1;
  FEpisodeSamples = 0;
  FLog.Started(device, format.Rate, format.Channels, format.Bits, format.Buffers, format.BufferBytes);
}

void TOutputEvents::PerformanceStop() {
  if (!FRunning) return;
  FReason = "performance stop";
  FLog.PerformanceStopped(FDevice);
}

void TOutputEvents::DeviceLost(TLogTime lostAt) {
  if (FRunning) FLog.DeviceLost(FDevice, lostAt);
}

void TOutputEvents::DeviceBack(TLogTime backAt, double lostMs) {
  if (FRunning) FLog.DeviceBack(FDevice, backAt, lostMs);
}

void TOutputEvents::DropoutsShown(const TDropouts& dropouts) {
  if (!FRunning || dropouts.Count <= FLogged.Count) return;
  FLog.Dropout(FDevice, dropouts.Count - FLogged.Count, dropouts.Milliseconds - FLogged.Milliseconds,
               dropouts.Count, dropouts.Milliseconds);
  FLogged = dropouts;
}

void TOutputEvents::Measured(int64_t measuredBuffers, int64_t clippedSamples) {
  if (!FRunning || measuredBuffers <= FMeasured) return;
  if (clippedSamples > FClipped) {
    if (FEpisodeFrom < 0) FEpisodeFrom = FMeasured;
    FEpisodeSamples += clippedSamples - FClipped;
    FMeasured = measuredBuffers;
  } else {
    FMeasured = measuredBuffers;
    EndClipping();
  }
  FClipped = clippedSamples;
}

void TOutputEvents::EndClipping() {
  if (FEpisodeFrom < 0) return;
  const int64_t buffers = FMeasured - FEpisodeFrom;
  const int32_t frameBytes = std::max(FFormat.Channels * FFormat.Bits / 8, 1);
  const double ms = static_cast<double>(buffers) * (FFormat.BufferBytes / frameBytes) * 1000.0 /
                    std::max(FFormat.Rate, 1);
  FLog.ClippingEpisode(FDevice, FEpisodeSamples, buffers, ms);
  FEpisodeFrom = -1;
  FEpisodeSamples = 0;
}

void TOutputEvents::Stopped(bool stoppedAtOnce, const std::string& error, const TDropouts& dropouts) {
  if (!FRunning) return;
  DropoutsShown(dropouts);
  EndClipping();
  std::string reason = FReason;
  const bool failed = !error.empty() && error != FErrorBefore;
  if (reason.empty()) reason = failed ? "error" : stoppedAtOnce ? "off" : "end of signal";
  FLog.Stopped(FDevice, reason, dropouts.Count, dropouts.Milliseconds, failed ? error : std::string());
  FRunning = false;
}
