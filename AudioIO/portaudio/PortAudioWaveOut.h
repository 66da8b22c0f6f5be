#pragma once
// The wave-out device on PortAudio. The device thread (PortAudio's callback)
// plays the written buffers in order from a lock-free ring, puts each
// finished one on a second ring and wakes the render thread through an
// eventfd; it counts the gaps it fills with silence. The open and close
// notifications wake the GUI loop through another eventfd. The callback
// allocates nothing, takes no lock and touches nothing but the two rings, a
// few atomics and its output.

#include "AudioIO/RealtimeScheduling.h"
#include "AudioIO/HeaderQueue.h"
#include "platform/EventFd.h"
#include "platform/WaveNotes.h"
#include "platform/WaveOutDevice.h"

#include <portaudio.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class TPortAudioWaveOut final : public TWaveOutDevice {
public:
  /// The call that starts an opened stream: PortAudio's own, except in tests
  /// that need a stream that fails to start.
  using TStreamStarter = PaError (*)(PaStream* stream);

  /// Starts PortAudio and lists its output devices.
  explicit TPortAudioWaveOut(TStreamStarter startStream = &Pa_StartStream);
  /// Aborts a stream still open and stops PortAudio.
  ~TPortAudioWaveOut() override;
  TPortAudioWaveOut(const TPortAudioWaveOut&) = delete;
  TPortAudioWaveOut& operator=(const TPortAudioWaveOut&) = delete;

  /// Readable while open or close notifications wait.
  int WakeDescriptor() const override { return FWake.Fd(); }
  void Dispatch() override;
  int ReturnDescriptor() const override { return FReturns.Fd(); }

  std::vector<std::string> DeviceNames() override;
  /// The device's output channels by number: ALSA and JACK name none here.
  std::vector<std::string> ChannelNames(uint32_t device) override;
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
  TUnderruns Underruns(TWaveHandle handle) override;
  void Drain(TWaveHandle handle, const std::atomic<bool>& stop) override;
  std::string ErrorText(TMMResult code) override;
  void DropNotifications(TWaveOutTarget& target) override;

private:
  using TQueued = THeaderQueue::TQueued;

  static int StreamCallback(const void* input, void* output, unsigned long frames,
                            const PaStreamCallbackTimeInfo* timeInfo, PaStreamCallbackFlags statusFlags,
                            void* self) noexcept;
  using TClock = std::chrono::steady_clock;
  /// Device thread: the next frames of output from the queued buffers,
  /// silence where there are none within allowance.
  void Render(uint8_t* output, size_t frames, TClock::duration allowance, double dacTime,
              bool underflowed) noexcept;
  /// How long a callback may wait for a buffer before the host runs dry.
  static TClock::duration WaitAllowance(const PaStreamCallbackTimeInfo* timeInfo) noexcept;
  /// The host holds no audio at this callback (its output is due now).
  static bool HostHoldsNothing(const PaStreamCallbackTimeInfo* timeInfo) noexcept;
  /// Device thread: sleeps a moment unless deadline has passed (or no buffer is to come); false then.
  bool AwaitBuffer(TClock::time_point deadline) noexcept;
  /// Device thread: counts the missing frames of a callback of frames, and
  /// the host's own underflow.
  void CountUnderrun(size_t frames, size_t missing, bool underflowed) noexcept;
  /// Opens the PortAudio stream for format, keeping at least one buffer of bufferBytes in its latency.
  PaError OpenStream(PaDeviceIndex index, const TWaveFormatEx& format, uint32_t bufferBytes);
  PaDeviceIndex IndexOf(uint32_t device) const;
  /// Chosen outputs open every channel of the device: where the stream's go,
  /// and the scratch buffer the callback renders into before it spreads them.
  void PlanSpread(const PaDeviceInfo& info, const TWaveFormatEx& format, uint32_t bufferBytes,
                  TOutputChannels outputs);
  /// Device thread: renders frames into the scratch buffer and spreads them over the device's channels.
  void RenderSpread(uint8_t* output, size_t frames, TClock::duration allowance, double dacTime,
                    bool underflowed) noexcept;
  TMMResult CheckHandle(TWaveHandle handle) const;
  TMMResult StartStream();
  enum class TStop { Abort, Drain };
  TMMResult StopStream(TStop how);
  /// GUI thread, stream not started: a failed write leaves nothing queued and nothing owed.
  void TakeBackUnplayed(TWaveHdr& header);
  /// Marks header given back and no longer owed.
  /// GUI thread, stream stopped: gives back every buffer still queued or not yet taken.
  void ReturnQueued();
  static TMMResult FromPaError(PaError error);

  // Keeping a stream that loses its device: a keeper thread looks at the
  // stream twice a second and, while it should play but has stopped (its
  // device unplugged, its server gone, its callbacks ended), closes it and
  // opens the same device again with the same format, going on with the
  // queued buffers where it was. The output's watchdog shows the loss and
  // counts its time as one dropout.
  void StartKeeper();
  void StopKeeper();
  void KeeperLoop();
  /// Keeper, FLock held: the stream should play but plays no more.
  bool StreamDied();
  /// Keeper, FLock held: one attempt to replace the dead stream; true when it runs again.
  bool Reopen();
  /// FLock held: the PortAudio index of the opened device now, paNoDevice when it is not there.
  PaDeviceIndex FindOpenedDevice() const;
  /// Keeper: aborts and closes the dead FStream, waiting a bounded time for the sound library.
  void DropDeadStream();
  /// Closes FStream unless it is closed already.
  PaError CloseOpenedStream();
  /// FLock held, no stream open in the process: PortAudio lists its devices anew.
  void Reenumerate();

  std::vector<std::string> FOutputNames;  // the device list as first seen: ids stay valid
  uint32_t FOpenedDevice = WAVE_MAPPER;
  TWaveFormatEx FOpenedFormat;
  uint32_t FOpenedBufferBytes = 0;
  bool FStreamDead = false;  // FLock: FStream is closed, its device not yet back
  std::mutex FLock;  // the stream's replacement against the GUI thread's calls
  std::condition_variable FKeeperWake;
  bool FKeeperStop = false;  // FLock
  std::thread FKeeper;
  std::atomic<uint64_t> FCallbacks{0};  // device thread: callbacks so far
  std::atomic<bool> FReplacing{false};  // a callback waiting for a buffer gives up
  std::atomic<TWaveHandle> FOpenHandle{0};  // the open stream's handle; 0 when closed

  TStreamStarter FStartStream;
  TEventFd FWake;     // GUI: open and close notifications
  TEventFd FReturns;  // render thread: buffers given back
  PaError FInitError = paNoError;
  std::vector<PaDeviceIndex> FOutputDevices;  // PortAudio indexes, in device-id order
  PaStream* FStream = nullptr;
  std::atomic<bool> FStreamRunning{false};  // the keeper reads it
  TWaveHandle FHandle = 0;
  TWaveOutTarget* FTarget = nullptr;
  uint16_t FBlockAlign = 1;
  uint8_t FSilence = 0;
  // The spread over the device's channels; FDeviceChannels 0 when the stream has the format's own.
  uint16_t FDeviceChannels = 0;
  uint16_t FLeftAt = 0, FRightAt = 1;
  uint16_t FSampleBytes = 1, FStreamChannels = 1;
  size_t FScratchFrames = 0;
  std::unique_ptr<uint8_t[]> FScratch;
  TWaveNotes FNotes;

  // Shared with the device thread.
  THeaderQueue FQueue;  // GUI and render thread <-> device
  std::atomic<bool> FPaused{false};
  std::atomic<bool> FLastAudioWritten{false};  // drain or stop: no buffer is worth waiting for
  std::atomic<uint64_t> FSilenceAfterLast{0};  // frames of silence given since the drain began
  std::atomic<uint64_t> FFramesPlayed{0};
  std::atomic<uint64_t> FUnderrunCount{0};
  std::atomic<uint64_t> FUnderrunFrames{0};
  // Device thread only while the stream runs; the GUI thread resets them while it is stopped.
  TQueued FCurrent;
  uint32_t FOffset = 0;
  bool FStarving = false;  // the last callback ran out of buffers
  uint64_t FPrimeFrames = 0;  // silence still to go ahead of the ring's audio
  bool FHostWithoutClock = false;  // device thread: the host showed it has no clock
  uint64_t FMostDrainSilence = 0;  // silence after the last audio before the stream ends by itself
  uint32_t FRate = 1;
  std::atomic<double> FAudioHeardUntil{0};  // stream time at which the last audio written is heard
  TPaceWatch FCallbackPace;
};
