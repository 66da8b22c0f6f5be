#pragma once
// A wave-out device for tests. It records every call, fails the calls a test
// names, and gives buffers back only when the test says so (or, with
// AutoReturn, one round of queued buffers per dispatch, as if they played).
// Notifications wait until the loop dispatches the device, like a real one.

#include "platform/WaveNotes.h"
#include "platform/WaveOutDevice.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

struct TFakeWaveCall {
  std::string Name;                 ///< "Open", "Prepare", "Write", "Pause", ...
  const TWaveHdr* Header = nullptr; ///< for header calls
  uint32_t Length = 0;              ///< Write: dwBufferLength at the call
  std::vector<uint8_t> Data;        ///< Write: the bytes written
  uint32_t Device = 0;              ///< Open: the device id
};

class TFakeWaveOutDevice final : public TWaveOutDevice {
public:
  int WakeDescriptor() const override { return -1; }
  /// Delivers the pending notifications in order; with AutoReturn, first gives back what is queued.
  void Dispatch() override;

  std::vector<std::string> DeviceNames() override { return Names; }
  TMMResult Open(TWaveHandle& handle, uint32_t device, const TWaveFormatEx& format,
                 TWaveOutTarget& target) override;
  TMMResult Prepare(TWaveHandle handle, TWaveHdr& header) override;
  TMMResult Write(TWaveHandle handle, TWaveHdr& header) override;
  TMMResult Pause(TWaveHandle handle) override;
  TMMResult Restart(TWaveHandle handle) override;
  TMMResult Reset(TWaveHandle handle) override;
  TMMResult Unprepare(TWaveHandle handle, TWaveHdr& header) override;
  TMMResult Close(TWaveHandle handle) override;
  TMMResult GetPosition(TWaveHandle handle, uint32_t& samples) override;
  /// "Fake device error <code>".
  std::string ErrorText(TMMResult code) override;
  void DropNotifications(TWaveOutTarget& target) override;

  /// The next `times` calls named call fail with code (recorded all the same).
  void Fail(const std::string& call, TMMResult code, int times = 1);
  /// The next write that has to start the stream (the first after an open)
  /// fails with code the way a stream that cannot start fails: the buffer was
  /// already queued and stays queued until Reset gives it back, so Close
  /// refuses with WAVERR_STILLPLAYING until then.
  void FailStart(TMMResult code) { FStartFailure = code; }
  /// Gives back the count oldest queued buffers; their notifications wait for Dispatch.
  void ReturnBuffers(int count = 1);
  /// Names of the recorded calls, space-separated ("Open Prepare Prepare Write ...").
  std::string CallLog() const;
  /// How many recorded calls have this name.
  int CountOf(const std::string& call) const;
  /// The Write calls in order.
  std::vector<TFakeWaveCall> Writes() const;
  /// Notifications not yet delivered.
  size_t PendingNotifications() const { return FNotes.Size(); }
  size_t QueuedCount() const { return FQueue.size(); }

  std::vector<std::string> Names{"Fake Output"};
  std::vector<TFakeWaveCall> Calls;
  bool IsOpen = false;
  bool IsPaused = false;
  TWaveFormatEx Format;         ///< the format of the last open
  uint32_t Position = 0;        ///< frames played; ReturnBuffers adds the returned frames
  bool AutoReturn = false;

private:
  TMMResult Record(TFakeWaveCall call);
  TMMResult CheckHandle(TWaveHandle handle) const;
  void GiveBack(TWaveHdr* header);

  std::map<std::string, std::pair<TMMResult, int>> FFailures;
  std::deque<TWaveHdr*> FQueue;
  TWaveNotes FNotes;
  TWaveOutTarget* FTarget = nullptr;
  TWaveHandle FHandle = 0;
  TMMResult FStartFailure = MMSYSERR_NOERROR;
  bool FStarted = false;
};
