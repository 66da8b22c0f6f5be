#pragma once
// A private sound server that a test starts for itself: PulseAudio, or
// PipeWire with wireplumber and its PulseAudio service, in a runtime folder
// of its own, with one null sink "zsink" that consumes samples at its own
// rate like a sound card. This process's libpulse and every pactl or parec
// the test runs talk to it. A test can remove and restore the sink, kill
// and restart the server, stall it, and record the sink's monitor.

#include "tests/fakes/PrivateSessionBus.h"

#include <csignal>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

class TSoundServer {
public:
  enum class TKind { PulseAudio, PipeWire };
  /// Starts the server at rate (48000 frames/s unless given); Why() says why when it did not start.
  explicit TSoundServer(TKind kind, uint32_t rate = 48000);
  ~TSoundServer();
  TSoundServer(const TSoundServer&) = delete;
  TSoundServer& operator=(const TSoundServer&) = delete;

  bool Running() const { return FWhy.empty(); }
  const std::string& Why() const { return FWhy; }
  /// Ends every process of the server (SIGKILL), as a crash does.
  void Kill();
  /// Starts the server again in the same folder; false when it does not answer.
  bool Start();
  /// Stops or continues the server's processes (SIGSTOP, SIGCONT).
  void Signal(int signal);
  /// Runs pactl with args (5 s at most); its output, empty when it failed.
  std::string Pactl(const std::string& args) const;
  /// Removes the null sink (as when a device is unplugged) / loads it again as the default.
  void RemoveSink();
  void AddSink();
  /// The null sink's description as the device list shows it.
  std::string SinkDescription() const;

private:
  pid_t Spawn(const std::vector<std::string>& argv, const std::string& log);
  bool Answers() const;

  TKind FKind;
  TPrivateSessionBus FBus;  // wireplumber needs a session bus
  uint32_t FRate;
  std::string FDir, FWhy;
  std::vector<pid_t> FPids;
};

/// A recording of a sink's monitor in 16-bit at the server's rate, by parec:
/// the null sink's in stereo unless source and its channel map are given.
class TMonitorRecording {
public:
  TMonitorRecording(const std::string& file, uint32_t rate, const std::string& source = "zsink.monitor",
                    const std::string& channelMap = "front-left,front-right");
  ~TMonitorRecording();
  /// Ends the recording and returns its samples, interleaved.
  std::vector<int16_t> Stop();

private:
  std::string FFile;
  pid_t FPid = -1;
};

/// Silences inside a recording: runs of at least minFrames frames of zero
/// between its first and last sound.
struct TRecordedGaps {
  int Count = 0;
  double Milliseconds = 0;
  int64_t SoundFrames = 0;  ///< frames that are not silent
};
TRecordedGaps GapsIn(const std::vector<int16_t>& samples, uint32_t rate, int64_t minFrames);
