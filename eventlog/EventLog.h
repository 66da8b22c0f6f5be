#pragma once
// The event log: every start, stop, dropout, device loss and return,
// clipping episode and performance stop of this instance's output, one JSON
// line each (eventlog/EventLine.h), appended to a file that every instance
// shares. Each line goes out in one write() to a file opened with O_APPEND,
// under a lock on that file, so that lines of several instances never mix;
// past the size limit the file is renamed to "events.1.jsonl" (replacing the
// older one) under the same lock, and a writer that waited for the lock
// while another renamed the file writes into the new one.
//
// GUI thread only (the sample path never writes the log). A failed write
// keeps the event for the Event Log window and is said once on stderr.

#include "eventlog/EventLine.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class TEventLog {
public:
  /// The file is rotated once it has reached this size.
  static constexpr uint64_t RotateBytes = 10 * 1024 * 1024;

  /// file: where the lines go (its folder is made when missing); pid: the
  /// instance's process id; now: the clock of the lines' times.
  explicit TEventLog(std::filesystem::path file, uint64_t rotateBytes = RotateBytes, int64_t pid = ProcessId(),
                     std::function<TLogTime()> now = [] { return std::chrono::system_clock::now(); });

  /// $XDG_STATE_HOME/zephyra/events.jsonl ($HOME/.local/state when unset or not absolute).
  static std::filesystem::path DefaultFile();
  /// "events.1.jsonl" beside file.
  static std::filesystem::path RotatedFile(const std::filesystem::path& file);
  static int64_t ProcessId();

  // ---- the events; device is the output device's name ----
  void Started(const std::string& device, int32_t rate, int32_t channels, int32_t bits, int32_t buffers,
               int32_t bufferBytes);
  /// reason: "off", "end of signal", "performance stop" or "error" (then error is the device's text).
  void Stopped(const std::string& device, const std::string& reason, int64_t dropouts, double dropoutMs,
               const std::string& error = {});
  /// New gaps since the last dropout line: count and length, and the run's totals.
  void Dropout(const std::string& device, int64_t count, double lengthMs, int64_t totalCount, double totalMs);
  /// The output lost its device at lostAt; it stays on and waits for it.
  void DeviceLost(const std::string& device, TLogTime lostAt);
  /// The device is back at backAt after lostMs without it.
  void DeviceBack(const std::string& device, TLogTime backAt, double lostMs);
  /// A run of buffers with saturated samples ended: the samples, the buffers and the episode's length.
  void ClippingEpisode(const std::string& device, int64_t clippedSamples, int64_t buffers, double lengthMs);
  /// The fill could not keep up and the output was stopped.
  void PerformanceStopped(const std::string& device);

  /// Appends event as one line (pid and, when unset, time filled in);
  /// false when the file could not take it.
  bool Append(TLogEvent event);

  /// This instance's events in order, also those the file did not take.
  const std::vector<TLogEvent>& ThisRun() const { return FThisRun; }
  const std::filesystem::path& File() const { return FFile; }
  /// Runs after every event (the Event Log window follows).
  std::function<void()> OnAppended;

private:
  /// One write of line under the file's lock, rotating first when due; an error text or empty.
  std::string Write(const std::string& line) const;

  std::filesystem::path FFile;
  uint64_t FRotateBytes;
  int64_t FPid;
  std::function<TLogTime()> FNow;
  std::vector<TLogEvent> FThisRun;
  bool FFailureSaid = false;
};
