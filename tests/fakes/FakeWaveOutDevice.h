#pragma once
// A wave-out device for tests. It records every call, fails the calls a test
// names, and gives buffers back only when the test says so (or, with
// AutoReturn, one round of queued buffers per dispatch, as if they played).
// Open and close notifications wait until the loop dispatches the device,
// like a real one. Given-back buffers go to the output's render thread, and
// the test waits until that thread has taken every one of them and asks for
// more, so that a test reads the device after each step as it left it.

#include "platform/EventFd.h"
#include "platform/WaveNotes.h"
#include "platform/WaveOutDevice.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
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
  ~TFakeWaveOutDevice() override;

  int WakeDescriptor() const override { return -1; }
  /// Delivers the pending notifications in order; with AutoReturn, first gives back what is queued.
  void Dispatch() override;

  std::vector<std::string> DeviceNames() override { return Names; }
  std::vector<std::string> ChannelNames(uint32_t device) override {
    return device < Channels.size() ? Channels[device] : std::vector<std::string>{};
  }
  TMMResult Open(TWaveHandle& handle, uint32_t device, const TWaveFormatEx& format, uint32_t bufferBytes,
                 TWaveOutTarget& target, TOutputChannels outputs) override;
  TMMResult Prepare(TWaveHandle handle, TWaveHdr& header) override;
  TMMResult Write(TWaveHandle handle, TWaveHdr& header) override;
  TMMResult Pause(TWaveHandle handle) override;
  TMMResult Restart(TWaveHandle handle) override;
  TMMResult Reset(TWaveHandle handle) override;
  TMMResult Unprepare(TWaveHandle handle, TWaveHdr& header) override;
  TMMResult Close(TWaveHandle handle) override;
  TMMResult GetPosition(TWaveHandle handle, uint32_t& samples) override;
  TWaveHdr* TakeReturned(TWaveHandle handle) override;
  int ReturnDescriptor() const override { return FReturnWake.Fd(); }
  TUnderruns Underruns(TWaveHandle handle) override;
  /// Plays nothing beyond the buffers it gives back: returns at once.
  void Drain(TWaveHandle, const std::atomic<bool>&) override {}
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
  /// Gives back the count oldest queued buffers and waits until the render
  /// thread has handled them.
  void ReturnBuffers(int count = 1);
  /// The device plays a gap of frames for want of a buffer, as if the ring had run empty.
  void Starve(uint64_t frames);
  /// From now on a thread of the device plays like a sound card: each
  /// buffer's duration it takes the oldest queued buffer, keeps its bytes
  /// (PlayedBytes) and gives it back; a turn without a buffer, while open,
  /// started and not paused, is a gap (Underruns), as on a real device.
  void PlayInRealTime();
  std::vector<uint8_t> PlayedBytes() const;
  /// While set, the real-time player neither plays nor gives back anything,
  /// as a device whose driver hangs: no callback, no gap it could count.
  std::atomic<bool> Hung{false};
  /// Names of the recorded calls, space-separated ("Open Prepare Prepare Write ...").
  std::string CallLog() const;
  /// How many recorded calls have this name.
  int CountOf(const std::string& call) const;
  /// The Write calls in order.
  std::vector<TFakeWaveCall> Writes() const;
  /// Notifications not yet delivered.
  size_t PendingNotifications() const { return FNotes.Size(); }
  size_t QueuedCount() const;

  std::vector<std::string> Names{"Fake Output"};
  /// Channel names per device id; a device without an entry cannot tell.
  std::vector<std::vector<std::string>> Channels;
  std::vector<TFakeWaveCall> Calls;
  bool IsOpen = false;
  bool IsPaused = false;
  TWaveFormatEx Format;         ///< the format of the last open
  TOutputChannels Outputs;      ///< the outputs of the last open
  uint32_t Position = 0;        ///< frames played; ReturnBuffers adds the returned frames
  uint32_t BufferBytes = 0;     ///< the buffer size of the last open
  bool AutoReturn = false;

private:
  TMMResult Record(TFakeWaveCall call);
  TMMResult CheckHandle(TWaveHandle handle) const;
  static void MarkDone(TWaveHdr* header);
  /// Waits until the render thread has asked for a buffer and found none more often than empties.
  void AwaitTaken(std::unique_lock<std::mutex>& lock, uint64_t empties);
  /// One turn of the real-time player; the time to the next one.
  std::chrono::nanoseconds PlayTurn(std::chrono::steady_clock::time_point due);

  mutable std::mutex FMutex;  // the test's thread and the render thread both call in
  std::condition_variable FTaken;
  std::map<std::string, std::pair<TMMResult, int>> FFailures;
  std::deque<TWaveHdr*> FQueue;
  std::deque<TWaveHdr*> FReturned;  // given back, not yet taken
  uint64_t FEmptyTakes = 0;
  TEventFd FReturnWake;
  TUnderruns FUnderruns;
  TWaveNotes FNotes;  // GUI thread only
  std::vector<uint8_t> FPlayed;
  std::map<const TWaveHdr*, std::chrono::steady_clock::time_point> FWrittenAt;
  std::chrono::steady_clock::time_point FStartedAt;
  bool FStarving = false;
  std::atomic<bool> FPlayerStop{false};
  std::thread FPlayer;
  TWaveOutTarget* FTarget = nullptr;
  TWaveHandle FHandle = 0;
  TMMResult FStartFailure = MMSYSERR_NOERROR;
  bool FStarted = false;
};
