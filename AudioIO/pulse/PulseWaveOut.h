#pragma once
// The wave-out device on a sound server (PulseAudio, or PipeWire through
// its PulseAudio service), on libpulse's asynchronous API with its threaded
// main loop.
//
// Threads: the GUI thread makes the calls of the interface and takes the
// main loop's lock for them; the render thread only pushes written buffers
// on a lock-free ring and raises an eventfd (Write), takes played buffers
// from a second ring (TakeReturned), and waits out the drain. The main
// loop's thread copies queued buffers into the stream when the server asks,
// counts the server's underflows and notices a lost stream, sink or server;
// it then reconnects every half second and plays on from the buffer where it
// stopped. Its callbacks never call the window: the GUI thread learns of
// open, close, loss and return through WakeDescriptor.

#include "AudioIO/HeaderQueue.h"
#include "AudioIO/SpscRing.h"
#include "platform/DeviceLoss.h"
#include "platform/EventFd.h"
#include "platform/WaveNotes.h"
#include "platform/WaveOutDevice.h"

#include <pulse/pulseaudio.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TPulseWaveOut final : public TWaveOutDevice {
public:
  /// A device on the sound server that answers now (within a moment), or
  /// null when none does.
  static std::unique_ptr<TPulseWaveOut> Connect();
  ~TPulseWaveOut() override;
  TPulseWaveOut(const TPulseWaveOut&) = delete;
  TPulseWaveOut& operator=(const TPulseWaveOut&) = delete;

  int WakeDescriptor() const override { return FWake.Fd(); }
  void Dispatch() override;
  int ReturnDescriptor() const override { return FReturns.Fd(); }

  /// The server's sinks by their whole descriptions, in the server's order.
  std::vector<std::string> DeviceNames() override;
  /// The sink's channel positions by name ("Front Left", "LFE" ...).
  std::vector<std::string> ChannelNames(uint32_t device) override;
  bool ReportsLoss() const override { return true; }
  void SetRingLength(uint32_t buffers) override { FRingBuffers = buffers < 1 ? 1 : buffers; }
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

  /// True while the open stream's device is lost.
  bool Lost() const { return FLoss.Lost(); }
  /// The sink the open stream plays on now (the server's name), empty when none.
  std::string CurrentSink();

private:
  using TQueued = THeaderQueue::TQueued;
  struct TSink {
    std::string Name, Description;
    pa_channel_map Map{};
  };
  class TLock;

  TPulseWaveOut();
  bool StartLoop();
  // ---- main loop thread (also the GUI thread while it holds the lock) ----
  bool ConnectContext();
  void DropContext();
  bool ConnectStream();
  void DropStream();
  /// Writes queued buffers while the server has room for them (bytes).
  void Pump(size_t room) noexcept;
  /// Pump, nothing queued: asks the next Write for a wake; true when a
  /// buffer came meanwhile (then it is the current one and no wake is asked).
  bool AwaitWrite() noexcept;
  void StreamFailed() noexcept;
  void ArmTimer(pa_time_event* event, pa_usec_t after);
  void ArmRetry();
  static void OnContextState(pa_context* context, void* self);
  static void OnStreamState(pa_stream* stream, void* self);
  static void OnWrite(pa_stream* stream, size_t bytes, void* self);
  static void OnUnderflow(pa_stream* stream, void* self);
  static void OnStarted(pa_stream* stream, void* self);
  static void OnPumpWake(pa_mainloop_api* api, pa_io_event* event, int fd, pa_io_event_flags_t flags, void* self);
  static void OnRetry(pa_mainloop_api* api, pa_time_event* event, const struct timeval* tv, void* self);
  /// Asks the server for the stream's timing now and then, for GetPosition.
  static void OnTiming(pa_mainloop_api* api, pa_time_event* event, const struct timeval* tv, void* self);
  /// GUI thread with the lock: waits (a few seconds at most) until done says so.
  template <typename TDone>
  bool WaitFor(TDone done);
  TMMResult CheckHandle(TWaveHandle handle) const;
  /// GUI thread: the channel map of device (the default sink for WAVE_MAPPER); none when unknown.
  std::optional<pa_channel_map> SinkMap(uint32_t device);
  /// The stream's channel map that puts its channels on outputs of a sink
  /// with sinkMap; none where the server's own spread stays (a mono stream
  /// on its default output, a sink of one channel).
  static std::optional<pa_channel_map> StreamMap(const pa_channel_map& sinkMap, uint8_t channels,
                                                 TOutputChannels outputs);
  void ReturnQueued();
  /// Main loop held: halts (cork) or resumes the stream when it is ready; otherwise nothing.
  void CorkReadyStream(bool cork);
  uint64_t FramesOf(int64_t ns) const noexcept;

  pa_threaded_mainloop* FLoop = nullptr;
  pa_context* FContext = nullptr;
  pa_stream* FStream = nullptr;
  pa_io_event* FPumpEvent = nullptr;
  pa_time_event* FRetryEvent = nullptr;
  pa_time_event* FTimingEvent = nullptr;
  TEventFd FWake;      // GUI: notes, loss and return
  TEventFd FReturns;   // render thread: buffers given back
  TEventFd FPumpWake;  // main loop: buffers written while it waits for them
  TWaveNotes FNotes;
  TDeviceLoss FLoss;
  std::vector<TSink> FSinks;  // as DeviceNames last listed them

  // The open stream's wishes; written by the GUI thread under the lock.
  bool FWanted = false;         // a stream is open: keep it connected
  std::string FSinkName;        // empty: the server's default sink, followed
  pa_sample_spec FSampleFormat{};
  std::optional<pa_channel_map> FStreamMap;  // the stream's positions on the sink
  uint32_t FBufferBytes = 0;
  uint32_t FRingBuffers = 4;
  TWaveHandle FHandle = 0;
  TWaveOutTarget* FTarget = nullptr;
  bool FStreamLost = false;     // main loop: the stream or server failed while wanted
  bool FTriggered = false;      // main loop: the current stream was told to start
  uint64_t FFramesBefore = 0;   // frames played by streams of this open before the current one
  uint16_t FBlockAlign = 1;

  // Shared with the main loop's thread.
  THeaderQueue FQueue;  // render thread <-> main loop
  std::atomic<bool> FPaused{false};
  std::atomic<bool> FDraining{false};
  std::atomic<bool> FWantsData{false};  // the main loop waits for a Write
  std::atomic<uint64_t> FUnderrunCount{0};
  std::atomic<uint64_t> FUnderrunFrames{0};
  std::atomic<int64_t> FGapSinceNs{0};  // an underflow not yet ended; 0 when none
  // Main loop only (the GUI thread with the lock while the stream is stopped).
  TQueued FCurrent;
  uint32_t FOffset = 0;
};
