#pragma once
// What the main window tells the event log about its output, on the GUI
// thread: a run's start and stop (with the reason), each new dropout the
// window shows, clipping episodes as the meter measures the played buffers,
// and a performance stop. A clipping episode is a run of measured buffers
// with saturated samples; it is logged once, when it ends.

#include "AudioIO/AudioOut.h"
#include "eventlog/EventLine.h"

#include <cstdint>
#include <string>

class TEventLog;

/// The format of a run as the log's start line gives it.
struct TRunFormat {
  int32_t Rate = 0, Channels = 0, Bits = 0, Buffers = 0, BufferBytes = 0;
};

class TOutputEvents {
public:
  /// log must outlive this object.
  explicit TOutputEvents(TEventLog& log) : FLog(log) {}

  /// The window starts the output; errorBefore is the output's error text now.
  void Starting(const std::string& errorBefore) { FErrorBefore = errorBefore; }
  /// The output started on device.
  void Started(const std::string& device, const TRunFormat& format);
  /// The window stops the output because its fill could not keep up.
  void PerformanceStop();
  /// The next stop happens for reason ("exit" as the window closes).
  void StopFor(std::string reason) { FReason = std::move(reason); }
  /// The dropout figures the window shows now; new ones are logged.
  void DropoutsShown(const TDropouts& dropouts);
  /// The meter has measured measuredBuffers of the run, with clippedSamples saturated samples in all.
  void Measured(int64_t measuredBuffers, int64_t clippedSamples);
  /// The output lost its device at lostAt / has it back at backAt after lostMs (the run's device).
  void DeviceLost(TLogTime lostAt);
  void DeviceBack(TLogTime backAt, double lostMs);
  /// The output stopped: stoppedAtOnce when a stop cut it short, error its error text now.
  void Stopped(bool stoppedAtOnce, const std::string& error, const TDropouts& dropouts);

private:
  void EndClipping();

  TEventLog& FLog;
  bool FRunning = false;
  std::string FDevice;
  TRunFormat FFormat;
  std::string FErrorBefore;
  std::string FReason;  // set before a stop the window makes for a reason of its own
  TDropouts FLogged;
  int64_t FMeasured = 0, FClipped = 0;
  int64_t FEpisodeFrom = -1, FEpisodeSamples = 0;  // first buffer of the clipping episode, -1 when none
};
