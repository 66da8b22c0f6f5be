// The GUI thread's side of the output component: start, stops, pause, and
// the notes of the render thread turned into counters and events.

#include "AudioIO/AudioOut.h"

#include <algorithm>
#include "platform/DeviceLoss.h"
#include <ctime>
#include <system_error>

/// The GUI loop's source of the render thread's notes.
class TAudioOut::TNotes final : public TMessageSource {
public:
  explicit TNotes(TAudioOut& owner) : FOwner(owner) {}
  int WakeDescriptor() const override { return FOwner.FGuiWake.Fd(); }
  void Dispatch() override {
    FOwner.FGuiWake.Clear();
    FOwner.CycleNoteArrived();
  }

private:
  TAudioOut& FOwner;
};

TAudioOut::TAudioOut(TWaveOutDevice& device, TMessageLoop& loop)
    : FDevice(device), FLoop(loop), FNotes(std::make_unique<TNotes>(*this)) {
  // The notes first: a loop that dispatches its sources in turn then
  // delivers the close that the last note caused in the same pass.
  FLoop.AddSource(*FNotes);
  FLoop.AddSource(FDevice);
}

TAudioOut::~TAudioOut() {
  JoinRenderThread();
  if (WaveDeviceOpen) {
    FDevice.Reset(WaveHandle);
    for (int i = 0; i < FCycleBuffers; ++i) FDevice.Unprepare(WaveHandle, WaveHdr[i]);
    FDevice.Close(WaveHandle);
  }
  // The receivers die with the component: nothing may be delivered to them later.
  for (auto& receiver : FReceivers) FDevice.DropNotifications(*receiver);
  FLoop.RemoveSource(*FNotes);
  FLoop.RemoveSource(FDevice);
}

void TAudioOut::SetPaused(bool p) {
  FPaused = p;
  FPausedNow.store(p);
  FLastProgressNs.store(SteadyNowNs());
  if (!Active) return;
  if (p)
    FDevice.Pause(WaveHandle);
  else
    FDevice.Restart(WaveHandle);
}

bool TAudioOut::Start(TAudioOut*& TS) {
  if (!OpenDevice(TS) || !QueueAllBuffers()) return false;
  try {
    StartRenderThread();
  } catch (const std::system_error&) {
    ErrorMessage = "The output's render thread could not be started";
    StopAtOnce();
    return false;
  }
  return true;
}

void TAudioOut::StopAtOnce() {
  if (!WaveDeviceOpen) return;
  FStoppedAtOnce = true;
  JoinRenderThread();
  Active = false;
  ContinueProcessing = false;
  EndWriting();
  FDevice.Reset(WaveHandle);
  std::fill(std::begin(FCycle.WithDevice), std::end(FCycle.WithDevice), false);
  CloseDevice();
}

void TAudioOut::StopGracefully() {
  if (!WaveDeviceOpen) return;
  if (FRenderThread.joinable())
    FGracefulStop.store(true, std::memory_order_release);
  else
    ContinueProcessing = false;
}

double TAudioOut::ElapsedTime() {
  if (!Active || FrameRate() <= 0) return 0.0;
  uint32_t samples = 0;
  if (FDevice.GetPosition(WaveHandle, samples) != MMSYSERR_NOERROR) return 0.0;
  return samples / static_cast<double>(FrameRate());
}

TDropouts TAudioOut::Dropouts() const {
  const TCycle cycle = CurrentCycle();
  const TUnderruns gaps = cycle.WritingEnded ? cycle.EndedUnderruns
                          : WaveDeviceOpen  ? FDevice.Underruns(WaveHandle)
                                            : TUnderruns{};
  const double rate = std::max<double>(FCycleRate, 1);
  // The watched device's losses add theirs; one still under way with its length so far.
  double stalledFrames = static_cast<double>(cycle.Stalls.Frames);
  if (cycle.Stalled) stalledFrames += static_cast<double>(SteadyNowNs() - cycle.StalledSinceNs) * rate / 1e9;
  return {static_cast<int64_t>(gaps.Count + cycle.Stalls.Count), (gaps.Frames + stalledFrames) * 1000.0 / rate};
}

bool TAudioOut::OpenDevice(TAudioOut*& TS) {
  if (WaveDeviceOpen) {
    ErrorMessage = "Wave output device is already open";
    return false;
  }
  BufIndex = 0;
  // NumBuffers or the format may have changed since the buffers were allocated.
  if (!BuffersFit()) {
    FreeBuffers();
    if (!AllocBuffers()) return false;
  }
  ReleaseClosedReceivers();
  FReceivers.push_back(std::make_unique<TCallBackWinOut>(&TS));
  CallBackWin = FReceivers.back().get();
  FDevice.SetRingLength(static_cast<uint32_t>(NumBuffers()));
  TMMResult result = FDevice.Open(WaveHandle, WaveDevice(), WaveFormat(), static_cast<uint32_t>(BufferSize()),
                                  *CallBackWin, OutputChannels());
  if (result != MMSYSERR_NOERROR) {
    ErrorMessage = WaveErrorText(result);
    FReceivers.pop_back();
    CallBackWin = nullptr;
    return false;
  }
  WaveDeviceOpen = true;
  FStoppedAtOnce = false;
  FCycle = TCycle{};
  FNote.Store(FCycle);
  FShownProcessed = 0;
  FGracefulStop.store(false);
  FPausedNow.store(FPaused);
  FCycleBuffers = NumBuffers();
  FCycleSize = BufferSize();
  FCycleRate = FrameRate();
  FCycleFrames = FCycleSize / std::max<int32_t>(WaveFormat().nBlockAlign, 1);
  FDeviceLost = false;
  InitHeaders();
  for (int i = 0; i < FCycleBuffers; ++i) {
    result = FDevice.Prepare(WaveHandle, WaveHdr[i]);
    if (result != MMSYSERR_NOERROR) {
      ErrorMessage = WaveErrorText(result);
      CloseDevice();
      return false;
    }
  }
  QueuedBuffers = ProcessedBuffers = FilledBuffers = 0;
  ContinueProcessing = true;
  Active = FCycle.Active = true;
  if (!FillWaveBuffer(0, FCycleSize)) {
    CloseDevice();
    ErrorMessage = "There must be at least one filled buffer";
    return false;
  }
  for (int i = 1; i < FCycleBuffers; ++i) FillWaveBuffer(i, FCycleSize);
  FilledBuffers = QueuedBuffers = FCycle.Filled;
  return true;
}

bool TAudioOut::QueueAllBuffers() {
  if (!WaveDeviceOpen) return false;  // the fill event stopped the output while it was opening
  Active = true;
  if (FPaused) FDevice.Pause(WaveHandle);
  if (!WriteBuffer()) {
    ErrorMessage = WaveErrorText(FCycle.WriteError);
    // A stream that failed to start may still count the buffer as queued;
    // the reset gives it back so that the close completes and OnStop runs.
    FDevice.Reset(WaveHandle);
    std::fill(std::begin(FCycle.WithDevice), std::end(FCycle.WithDevice), false);
    CloseDevice();
    return false;
  }
  for (int i = 1; i < FCycleBuffers; ++i) WriteBuffer();
  if (FCycle.WriteError != MMSYSERR_NOERROR) ErrorMessage = WaveErrorText(FCycle.WriteError);
  return true;
}

void TAudioOut::CloseDevice() {
  Active = false;
  FPaused = false;
  if (!WaveDeviceOpen) return;
  FCycle.ClosePending = true;
  if (!BuffersOut()) {
    FinishClose();
    return;
  }
  // Buffers still with the device: the render thread takes them back, then the close completes.
  if (!FRenderThread.joinable()) StartRenderThread();
}

void TAudioOut::DeviceLostArrived() {
  if (!WaveDeviceOpen || FDeviceLost) return;
  FDeviceLost = true;
  FLostAt = std::chrono::system_clock::now();
  if (FOnDeviceLost) FOnDeviceLost(CallBackWin);
}

void TAudioOut::DeviceBackArrived() {
  if (!FDeviceLost) return;
  FDeviceLost = false;
  if (FOnDeviceBack) FOnDeviceBack(CallBackWin);
}

std::string TAudioOut::LostAtText() const {
  const std::time_t t = std::chrono::system_clock::to_time_t(FLostAt);
  std::tm local{};
  localtime_r(&t, &local);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

void TAudioOut::FinishClose() {
  FDeviceLost = false;
  for (int i = 0; i < FCycleBuffers; ++i) FDevice.Unprepare(WaveHandle, WaveHdr[i]);
  FDevice.Close(WaveHandle);
  WaveDeviceOpen = false;
  FCycle.ClosePending = false;
}

void TAudioOut::CycleNoteArrived() {
  if (!FRenderThread.joinable()) return;
  // Events follow the device: nothing is played before the output has started.
  if (CallBackWin != nullptr && !CallBackWin->Opened()) return;
  const TCycle cycle = FNote.Load();
  FilledBuffers = cycle.Filled;
  ProcessedBuffers = cycle.Processed;
  QueuedBuffers = FilledBuffers - ProcessedBuffers;
  if (Active && !cycle.Active) {
    Active = false;
    FPaused = false;
  }
  if (cycle.WriteError != MMSYSERR_NOERROR) ErrorMessage = WaveErrorText(cycle.WriteError);
  if (cycle.Stalled && Active) DeviceLostArrived();
  if (!cycle.Stalled && !FDevice.ReportsLoss()) DeviceBackArrived();
  if (cycle.Drained) {
    JoinRenderThread();
    FinishClose();
  }
  if (cycle.Processed != FShownProcessed) {
    FShownProcessed = cycle.Processed;
    if (FOnBufferPlayed) FOnBufferPlayed(CallBackWin);
  }
}

TAudioOut::TCycle TAudioOut::CurrentCycle() const { return FRenderThread.joinable() ? FNote.Load() : FCycle; }

bool TAudioOut::BuffersOut() const {
  return std::any_of(std::begin(FCycle.WithDevice), std::end(FCycle.WithDevice), [](bool out) { return out; });
}

void TAudioOut::ReleaseClosedReceivers() {
  std::erase_if(FReceivers, [](const auto& receiver) { return receiver->Closed(); });
}

std::string TAudioOut::WaveErrorText(TMMResult code) { return FDevice.ErrorText(code); }
