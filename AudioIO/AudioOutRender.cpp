// The render thread's side of the output component: the buffer cycle of a
// running output. It takes each buffer the device gives back, refills it
// through the fill event and writes it again, and leaves a note for the GUI
// thread. It allocates nothing and takes no lock; it waits only in poll().

#include "AudioIO/AudioOut.h"
#include "AudioIO/RealtimeScheduling.h"
#include "platform/DeviceLoss.h"

#include <poll.h>

#include <algorithm>

void TAudioOut::StartRenderThread() {
  FNote.Store(FCycle);
  FStopRequested.store(false);
  FLastProgressNs.store(SteadyNowNs());
  FRenderThread = std::thread([this] { RenderLoop(); });
}

void TAudioOut::JoinRenderThread() {
  if (!FRenderThread.joinable()) return;
  FStopRequested.store(true, std::memory_order_release);
  FRenderWake.Signal();
  FRenderThread.join();
  if (FOnRenderStopped) FOnRenderStopped(CallBackWin);
}

void TAudioOut::RenderLoop() noexcept {
  RequestRealtimeScheduling();
  TPaceWatch pace;
  pace.Start(static_cast<uint32_t>(FCycleRate));
  // The first pass clears both wakes; later passes only those poll found
  // raised, which saves a read per buffer.
  pollfd wakes[2] = {{FDevice.ReturnDescriptor(), POLLIN, POLLIN}, {FRenderWake.Fd(), POLLIN, POLLIN}};
  while (!FStopRequested.load(std::memory_order_acquire)) {
    // Read the wake first: a buffer given back after the last take raises it again.
    if (wakes[0].revents != 0) TEventFd::Drain(wakes[0].fd);
    RenderWakeClearing();
    if (wakes[1].revents != 0) FRenderWake.Clear();
    while (!FStopRequested.load(std::memory_order_acquire)) {
      TWaveHdr* header = FDevice.TakeReturned(WaveHandle);
      if (header == nullptr) break;
      BufferReturned(*header);
      pace.Handled(static_cast<uint64_t>(FCycleFrames));
    }
    // A stop requested before the clear above lost its wake: seen here, it never reaches poll.
    if (FCycle.Drained || FStopRequested.load(std::memory_order_acquire)) return;
    const int raised = poll(wakes, 2, WatchdogMs());
    if (raised == 0) NothingReturned();
    if (raised < 0) wakes[0].revents = wakes[1].revents = POLLIN;  // interrupted: look at both again
  }
}

int TAudioOut::WatchdogMs() const noexcept {
  if (FDevice.ReportsLoss() || FCycle.Stalled || FCycleRate <= 0) return -1;
  // Never less than a second: a sound library through a sound server calls
  // back in bursts and holds much audio (half a second without a callback was
  // heard as no gap), and a starting stream first plays its latency.
  constexpr int64_t LeastMs = 1000;
  return static_cast<int>(std::max(4 * int64_t{FCycleFrames} * 1000 / FCycleRate + 1, LeastMs));
}

void TAudioOut::NothingReturned() noexcept {
  const int64_t now = SteadyNowNs();
  const int64_t last = FLastProgressNs.load();
  const bool playing = FCycle.Active && !FCycle.WritingEnded && !FCycle.ClosePending && !FPausedNow.load() &&
                       !FGracefulStop.load(std::memory_order_acquire);
  if (!playing || now - last < int64_t{WatchdogMs()} * 1000000 - 1000000) return;
  FCycle.Stalled = true;
  FCycle.StalledSinceNs = last;
  ++FCycle.Stalls.Count;
  PublishCycle();
}

void TAudioOut::BufferReturned(TWaveHdr& header) noexcept {
  FLastProgressNs.store(SteadyNowNs());
  if (FCycle.Stalled) {
    // The device plays again: its silence since the last buffer is one dropout.
    FCycle.Stalled = false;
    FCycle.Stalls.Frames += static_cast<uint64_t>(static_cast<double>(FLastProgressNs.load() - FCycle.StalledSinceNs) *
                                                  FCycleRate / 1e9);
  }
  const auto slot = &header - WaveHdr;
  if (slot >= 0 && slot < MaxBuffers) FCycle.WithDevice[slot] = false;
  if (!FCycle.ClosePending) {
    ++FCycle.Processed;
    // A buffer that was filled but whose write failed never comes back: the
    // run also ends when the device holds nothing more.
    FCycle.Active = FCycle.Filled - FCycle.Processed > 0 && BuffersOut();
    if (FGracefulStop.load(std::memory_order_acquire)) ContinueProcessing = false;
    if (FillWaveBuffer(BufIndex, FCycleSize)) WriteBuffer();
    if (!FCycle.Active) {
      ContinueProcessing = false;
      EndWriting();
      FCycle.ClosePending = true;
    }
  }
  FCycle.Drained = FCycle.ClosePending && !BuffersOut();
  // The run is over when the last of it has been heard, not when the device took it.
  if (FCycle.Drained) FDevice.Drain(WaveHandle, FStopRequested);
  PublishCycle();
}

bool TAudioOut::FillWaveBuffer(int32_t index, int32_t size) {
  bool result = false;
  if (ContinueProcessing && FOnFillBuffer) {
    int32_t s = size;
    result = FOnFillBuffer(WaveBuffer[index].get(), s);
    // The device must never read beyond the buffer, whatever the event answered.
    WaveHdr[index].dwBufferLength = static_cast<uint32_t>(std::clamp(s, 0, size));
  }
  if (result)
    ++FCycle.Filled;
  else
    EndWriting();
  return result;
}

bool TAudioOut::WriteBuffer() {
  TWaveHdr& header = WaveHdr[BufIndex];
  header.dwFlags = WHDR_PREPARED;
  const TMMResult result = FDevice.Write(WaveHandle, header);
  if (result != MMSYSERR_NOERROR) {
    FCycle.WriteError = result;
    ContinueProcessing = false;  // the queued audio plays out, then the device closes
    EndWriting();
    return false;
  }
  FCycle.WithDevice[BufIndex] = true;
  BufIndex = (BufIndex + 1) % FCycleBuffers;
  return true;
}

void TAudioOut::EndWriting() noexcept {
  if (FCycle.WritingEnded) return;
  FCycle.WritingEnded = true;
  FCycle.EndedUnderruns = FDevice.Underruns(WaveHandle);
}

void TAudioOut::PublishCycle() noexcept {
  FNote.Store(FCycle);
  // The GUI thread wakes for every change of the run's state, but for played
  // buffers alone at most as often as a meter can show them.
  constexpr auto Interval = std::chrono::milliseconds(1000 / 30);
  const auto now = std::chrono::steady_clock::now();
  const bool news = !FCycle.Active || FCycle.Drained || FCycle.WriteError != MMSYSERR_NOERROR || FCycle.Stalled;
  if (!news && now - FLastGuiWake < Interval) return;
  FLastGuiWake = now;
  FGuiWake.Signal();
}
