#pragma once
// The wave output component: streams the buffers its owner fills to a wave
// output device. A render thread of its own refills each buffer the device
// gives back and writes it again, so that a busy or sleeping GUI thread never
// reaches the sound. Every other call and every event runs on the GUI
// thread: the start and stop events in device order, and a merged note of
// the buffers played since the last one.

#include "AudioIO/AudioIO.h"
#include "AudioIO/CallBackWinOut.h"
#include "AudioIO/LatestValue.h"
#include "platform/EventFd.h"
#include "platform/MessageLoop.h"
#include "platform/WaveOutDevice.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

/// Writes audio into buffer; size is the capacity in bytes on entry and the
/// bytes to play on return. True when the buffer is to be played. Called on
/// the GUI thread for the buffers of the start, on the render thread after.
using TBufferEvent = std::function<bool(uint8_t* buffer, int32_t& size)>;

/// Gaps the device played since the last start while the output was meant to sound.
struct TDropouts {
  int64_t Count = 0;
  double Milliseconds = 0;
};

class TAudioOut : public TAudioIO {
public:
  /// device and loop must outlive the component, which registers the device
  /// with the loop for its lifetime (one component per device).
  TAudioOut(TWaveOutDevice& device, TMessageLoop& loop);
  /// Closes a device still open without events; owners stop the output first.
  ~TAudioOut() override;

  bool Paused() const { return FPaused; }
  /// Halts or resumes a running output; while idle, the next start begins paused.
  void SetPaused(bool p);
  /// Called for every buffer to fill (see TBufferEvent for the thread).
  void SetOnFillBuffer(TBufferEvent e) { FOnFillBuffer = std::move(e); }
  const TBufferEvent& OnFillBuffer() const { return FOnFillBuffer; }
  /// GUI thread: runs when the device has played further buffers; notes that
  /// arrive while the GUI thread is busy are merged into one.
  void SetOnBufferPlayed(TNotifyEvent e) { FOnBufferPlayed = std::move(e); }
  /// GUI thread: runs once the render thread of a run has ended (the run
  /// drained or was stopped); until the next start the fill is not called.
  void SetOnRenderStopped(TNotifyEvent e) { FOnRenderStopped = std::move(e); }
  /// GUI thread: runs when the device of the running output is lost; the
  /// output stays active and the device keeps trying to reach it again.
  void SetOnDeviceLost(TNotifyEvent e) { FOnDeviceLost = std::move(e); }
  /// GUI thread: runs when the lost device plays again, from where it stopped.
  void SetOnDeviceBack(TNotifyEvent e) { FOnDeviceBack = std::move(e); }
  /// The running output's device is lost and not yet back.
  bool DeviceLost() const { return FDeviceLost; }
  /// When the current (or last) loss began, by the wall clock.
  std::chrono::system_clock::time_point LostAt() const { return FLostAt; }
  /// LostAt as local "HH:MM:SS".
  std::string LostAtText() const;

  /// Opens the device, fills and queues every buffer, then hands the ring to
  /// the render thread. TS is the owner's variable that holds this
  /// component; notifications reach it through TS. False with ErrorMessage
  /// set when the output did not start.
  bool Start(TAudioOut*& TS);
  /// Ends the output now; returns once the render thread has left the fill.
  void StopAtOnce() override;
  void StopGracefully() override;
  /// Seconds played in this run; 0 when not active or the device cannot tell.
  double ElapsedTime();
  /// The render thread may still call the fill event: from the start until
  /// the run has drained or been stopped.
  bool Rendering() const { return FRenderThread.joinable(); }
  /// The gaps of the last run: silence the device played while active, not
  /// paused and before the fill ended the signal or a stop.
  TDropouts Dropouts() const;
  /// The last run was cut short by StopAtOnce, not played out.
  bool StoppedAtOnce() const { return FStoppedAtOnce; }

  TWaveHandle WaveHandle = 0;

protected:
  /// Calls the fill event for buffer index; true when it filled the buffer.
  virtual bool FillWaveBuffer(int32_t index, int32_t size);
  /// Ends the run; the device closes once every written buffer is back.
  virtual void CloseDevice();
  virtual bool OpenDevice(TAudioOut*& TS);
  bool BuffersInUse() const override { return WaveDeviceOpen; }
  /// Render thread: runs after the loop's stop check, before it clears its
  /// wake; a seam where a test can land a stop request.
  virtual void RenderWakeClearing() noexcept {}
  bool RenderStopRequested() const noexcept { return FStopRequested.load(std::memory_order_acquire); }

private:
  friend class TCallBackWinOut;
  class TNotes;

  // The buffer cycle of one run, kept by the thread that runs it: the GUI
  // thread until the start has queued every buffer, then the render thread
  // until it stops. The GUI thread's public counters follow it through FNote.
  struct TCycle {
    int32_t Filled = 0, Processed = 0;
    bool Active = false, ClosePending = false, Drained = false, WritingEnded = false;
    bool WithDevice[MaxBuffers] = {};  // written and not yet given back
    TMMResult WriteError = MMSYSERR_NOERROR;
    TUnderruns EndedUnderruns;         // the device's gaps when writing ended
    bool Stalled = false;              // the watched device gave nothing back for four buffer times
    int64_t StalledSinceNs = 0;
    TUnderruns Stalls;                 // the watched device's losses, ended ones with their length
  };

  bool WriteBuffer();
  bool QueueAllBuffers();
  void FinishClose();
  bool BuffersOut() const;
  void ReleaseClosedReceivers();
  std::string WaveErrorText(TMMResult code);

  // ---- render thread (AudioOutRender.cpp) ----
  void StartRenderThread();
  /// Stops the render thread and waits until it has ended.
  void JoinRenderThread();
  void RenderLoop() noexcept;
  /// The completion step for a buffer the device gave back.
  void BufferReturned(TWaveHdr& header) noexcept;
  /// No buffer is written after this one: later silence is the drain, not a gap.
  void EndWriting() noexcept;
  void PublishCycle() noexcept;
  /// How long poll waits for a buffer before the device counts as lost; -1 when it is not watched.
  int WatchdogMs() const noexcept;
  /// poll waited WatchdogMs in vain: a device that should be playing is lost.
  void NothingReturned() noexcept;

  // ---- GUI thread ----
  /// Takes the render thread's newest note into the public counters.
  void CycleNoteArrived();
  /// The device reports its loss and its return (through TCallBackWinOut).
  void DeviceLostArrived();
  void DeviceBackArrived();
  /// The cycle as the GUI thread knows it now.
  TCycle CurrentCycle() const;

  TWaveOutDevice& FDevice;
  TMessageLoop& FLoop;
  bool WaveDeviceOpen = false;
  int32_t FCycleBuffers = 0;               // buffer count and size fixed at open
  int32_t FCycleSize = 0;
  int32_t FCycleRate = 0;
  int32_t FCycleFrames = 0;                // frames of one buffer
  TCallBackWinOut* CallBackWin = nullptr;  // receiver of the current (last) open
  std::vector<std::unique_ptr<TCallBackWinOut>> FReceivers;
  TBufferEvent FOnFillBuffer;
  TNotifyEvent FOnBufferPlayed;
  TNotifyEvent FOnRenderStopped;
  TNotifyEvent FOnDeviceLost;
  TNotifyEvent FOnDeviceBack;
  bool FDeviceLost = false;
  std::chrono::system_clock::time_point FLostAt;

  TCycle FCycle;
  std::thread FRenderThread;
  TEventFd FRenderWake;                    // GUI -> render thread: stop requests
  std::atomic<bool> FStopRequested{false};
  std::atomic<bool> FGracefulStop{false};
  std::atomic<bool> FPausedNow{false};        // FPaused for the render thread
  std::atomic<int64_t> FLastProgressNs{0};    // the last buffer back, or the resume after a pause
  TLatestValue<TCycle> FNote;              // render thread -> GUI thread
  TEventFd FGuiWake;
  std::chrono::steady_clock::time_point FLastGuiWake;  // render thread only
  std::unique_ptr<TNotes> FNotes;          // the GUI loop's source of FNote
  int32_t FShownProcessed = 0;             // buffers played as the GUI last told its owner
  bool FStoppedAtOnce = false;             // the last run ended by StopAtOnce
};
