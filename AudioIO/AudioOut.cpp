#include "AudioIO/AudioOut.h"

#include <algorithm>

TAudioOut::TAudioOut(TWaveOutDevice& device, TMessageLoop& loop) : FDevice(device), FLoop(loop) {
  FLoop.AddSource(FDevice);
}

TAudioOut::~TAudioOut() {
  if (WaveDeviceOpen) {
    FDevice.Reset(WaveHandle);
    for (int i = 0; i < FCycleBuffers; ++i) FDevice.Unprepare(WaveHandle, WaveHdr[i]);
    FDevice.Close(WaveHandle);
  }
  // The receivers die with the component: nothing may be delivered to them later.
  for (auto& receiver : FReceivers) FDevice.DropNotifications(*receiver);
  FLoop.RemoveSource(FDevice);
}

void TAudioOut::SetPaused(bool p) {
  FPaused = p;
  if (!Active) return;
  if (p)
    FDevice.Pause(WaveHandle);
  else
    FDevice.Restart(WaveHandle);
}

bool TAudioOut::Start(TAudioOut*& TS) { return OpenDevice(TS) && QueueAllBuffers(); }

void TAudioOut::StopAtOnce() {
  if (!WaveDeviceOpen) return;
  Active = false;
  ContinueProcessing = false;
  FDevice.Reset(WaveHandle);
  std::fill(std::begin(FWithDevice), std::end(FWithDevice), false);
  CloseDevice();
}

void TAudioOut::StopGracefully() {
  if (WaveDeviceOpen) ContinueProcessing = false;
}

double TAudioOut::ElapsedTime() {
  if (!Active || FrameRate() <= 0) return 0.0;
  uint32_t samples = 0;
  if (FDevice.GetPosition(WaveHandle, samples) != MMSYSERR_NOERROR) return 0.0;
  return samples / static_cast<double>(FrameRate());
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
  TMMResult result = FDevice.Open(WaveHandle, WaveDevice(), WaveFormat(), *CallBackWin);
  if (result != MMSYSERR_NOERROR) {
    ErrorMessage = WaveErrorText(result);
    FReceivers.pop_back();
    CallBackWin = nullptr;
    return false;
  }
  WaveDeviceOpen = true;
  FClosePending = false;
  std::fill(std::begin(FWithDevice), std::end(FWithDevice), false);
  FCycleBuffers = NumBuffers();
  FCycleSize = BufferSize();
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
  Active = true;
  if (!FillWaveBuffer(0, FCycleSize)) {
    CloseDevice();
    ErrorMessage = "There must be at least one filled buffer";
    return false;
  }
  for (int i = 1; i < FCycleBuffers; ++i) FillWaveBuffer(i, FCycleSize);
  return true;
}

bool TAudioOut::FillWaveBuffer(int32_t index, int32_t size) {
  if (!ContinueProcessing) return false;
  bool result = false;
  if (FOnFillBuffer) {
    int32_t s = size;
    result = FOnFillBuffer(WaveBuffer[index].get(), s);
    // The device must never read beyond the buffer, whatever the event answered.
    WaveHdr[index].dwBufferLength = static_cast<uint32_t>(std::clamp(s, 0, size));
  }
  if (result) ++FilledBuffers;
  QueuedBuffers = FilledBuffers - ProcessedBuffers;
  return result;
}

bool TAudioOut::WriteBuffer() {
  TWaveHdr& header = WaveHdr[BufIndex];
  header.dwFlags = WHDR_PREPARED;
  TMMResult result = FDevice.Write(WaveHandle, header);
  if (result != MMSYSERR_NOERROR) {
    ErrorMessage = WaveErrorText(result);
    StopGracefully();
    return false;
  }
  FWithDevice[BufIndex] = true;
  BufIndex = (BufIndex + 1) % FCycleBuffers;
  return true;
}

bool TAudioOut::QueueAllBuffers() {
  if (!WaveDeviceOpen) return false;  // the fill event stopped the output while it was opening
  Active = true;
  if (FPaused) FDevice.Pause(WaveHandle);
  if (!WriteBuffer()) {
    // A stream that failed to start may still count the buffer as queued;
    // the reset gives it back so that the close completes and OnStop runs.
    FDevice.Reset(WaveHandle);
    CloseDevice();
    return false;
  }
  for (int i = 1; i < FCycleBuffers; ++i) WriteBuffer();
  return true;
}

void TAudioOut::BufferDone(TCallBackWinOut& receiver, TWaveHdr& header) {
  // Buffers of a closed run, or of an earlier run still being delivered, are no business of this one.
  if (!WaveDeviceOpen || &receiver != CallBackWin) return;
  auto slot = &header - WaveHdr;
  if (slot >= 0 && slot < MaxBuffers) FWithDevice[slot] = false;
  if (FClosePending) {
    if (!BuffersOut()) FinishClose();
    return;
  }
  ++ProcessedBuffers;
  QueuedBuffers = FilledBuffers - ProcessedBuffers;
  // A buffer that was filled but whose write failed never comes back: the run
  // also ends when the device holds nothing more.
  Active = QueuedBuffers > 0 && BuffersOut();
  if (FillWaveBuffer(BufIndex, FCycleSize)) WriteBuffer();
  if (!Active) {
    ContinueProcessing = false;
    CloseDevice();
  }
}

void TAudioOut::CloseDevice() {
  Active = false;
  FPaused = false;
  if (!WaveDeviceOpen) return;
  FClosePending = true;
  if (!BuffersOut()) FinishClose();
}

void TAudioOut::FinishClose() {
  for (int i = 0; i < FCycleBuffers; ++i) FDevice.Unprepare(WaveHandle, WaveHdr[i]);
  FDevice.Close(WaveHandle);
  WaveDeviceOpen = false;
  FClosePending = false;
}

bool TAudioOut::BuffersOut() const {
  return std::any_of(std::begin(FWithDevice), std::end(FWithDevice), [](bool out) { return out; });
}

void TAudioOut::ReleaseClosedReceivers() {
  std::erase_if(FReceivers, [](const auto& receiver) { return receiver->Closed(); });
}

std::string TAudioOut::WaveErrorText(TMMResult code) { return FDevice.ErrorText(code); }
