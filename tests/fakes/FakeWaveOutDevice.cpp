#include "tests/fakes/FakeWaveOutDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <utility>

namespace {
TFakeWaveCall NamedCall(const char* name, const TWaveHdr* header = nullptr, uint32_t device = 0) {
  TFakeWaveCall call;
  call.Name = name;
  call.Header = header;
  call.Device = device;
  return call;
}
}  // namespace

TFakeWaveOutDevice::~TFakeWaveOutDevice() {
  FPlayerStop = true;
  if (FPlayer.joinable()) FPlayer.join();
}

void TFakeWaveOutDevice::PlayInRealTime() {
  FPlayer = std::thread([this] {
    auto next = std::chrono::steady_clock::now();
    while (!FPlayerStop) {
      next += PlayTurn(next);
      std::this_thread::sleep_until(next);
    }
  });
}

std::chrono::nanoseconds TFakeWaveOutDevice::PlayTurn(std::chrono::steady_clock::time_point due) {
  std::lock_guard lock(FMutex);
  if (!IsOpen || !FStarted || due < FStartedAt || Format.nAvgBytesPerSec == 0 || BufferBytes == 0)
    return std::chrono::milliseconds(1);
  const std::chrono::nanoseconds turn(uint64_t{BufferBytes} * 1000000000 / Format.nAvgBytesPerSec);
  if (IsPaused || Hung.load()) return turn;
  // Like a sound card's clock, the turn is judged by when it was due, not
  // by when this thread got to it: a buffer written after that is too late.
  if (FQueue.empty() || FWrittenAt[FQueue.front()] > due) {
    if (!FStarving) ++FUnderruns.Count;
    FUnderruns.Frames += BufferBytes / Format.nBlockAlign;
    FPlayed.insert(FPlayed.end(), BufferBytes, uint8_t{0});  // the gap is heard as silence
    FStarving = true;
    return turn;
  }
  FStarving = false;
  TWaveHdr* header = FQueue.front();
  FQueue.pop_front();
  FPlayed.insert(FPlayed.end(), header->lpData, header->lpData + header->dwBufferLength);
  Position += header->dwBufferLength / Format.nBlockAlign;
  FReturned.push_back(header);
  FReturnWake.Signal();
  return turn;
}

std::vector<uint8_t> TFakeWaveOutDevice::PlayedBytes() const {
  std::lock_guard lock(FMutex);
  return FPlayed;
}

void TFakeWaveOutDevice::Dispatch() {
  if (AutoReturn) ReturnBuffers(static_cast<int>(QueuedCount()));
  // Targets may call back into the device (start, close) while a note is delivered.
  while (FNotes.DeliverNext()) {
  }
}

TMMResult TFakeWaveOutDevice::Open(TWaveHandle& handle, uint32_t device, const TWaveFormatEx& format,
                                   uint32_t bufferBytes, TWaveOutTarget& target, TOutputChannels outputs) {
  std::lock_guard lock(FMutex);
  TMMResult result = Record(NamedCall("Open", nullptr, device));
  if (result != MMSYSERR_NOERROR) return result;
  if (IsOpen) return MMSYSERR_ALLOCATED;
  if (device != WAVE_MAPPER && device >= Names.size()) return MMSYSERR_BADDEVICEID;
  IsOpen = true;
  IsPaused = false;
  Format = format;
  Outputs = outputs;
  BufferBytes = bufferBytes;
  Position = 0;
  FUnderruns = {};
  FStarving = false;
  FStarted = false;
  FTarget = &target;
  handle = ++FHandle;
  FNotes.PushOpen(target);
  return MMSYSERR_NOERROR;
}

TMMResult TFakeWaveOutDevice::Prepare(TWaveHandle handle, TWaveHdr& header) {
  std::lock_guard lock(FMutex);
  TMMResult result = Record(NamedCall("Prepare", &header));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result == MMSYSERR_NOERROR) header.dwFlags |= WHDR_PREPARED;
  return result;
}

TMMResult TFakeWaveOutDevice::Write(TWaveHandle handle, TWaveHdr& header) {
  std::lock_guard lock(FMutex);
  TFakeWaveCall call = NamedCall("Write", &header);
  call.Length = header.dwBufferLength;
  call.Data.assign(header.lpData, header.lpData + header.dwBufferLength);
  TMMResult result = Record(std::move(call));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result != MMSYSERR_NOERROR) return result;
  if (!(header.dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
  header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  FQueue.push_back(&header);
  FWrittenAt[&header] = std::chrono::steady_clock::now();
  if (FStarted || FStartFailure == MMSYSERR_NOERROR) {
    if (!FStarted) FStartedAt = std::chrono::steady_clock::now();
    FStarted = true;
    return MMSYSERR_NOERROR;
  }
  return std::exchange(FStartFailure, MMSYSERR_NOERROR);
}

TMMResult TFakeWaveOutDevice::Pause(TWaveHandle handle) {
  std::lock_guard lock(FMutex);
  TMMResult result = Record(NamedCall("Pause"));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result == MMSYSERR_NOERROR) IsPaused = true;
  return result;
}

TMMResult TFakeWaveOutDevice::Restart(TWaveHandle handle) {
  std::lock_guard lock(FMutex);
  TMMResult result = Record(NamedCall("Restart"));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result == MMSYSERR_NOERROR) IsPaused = false;
  return result;
}

TMMResult TFakeWaveOutDevice::Reset(TWaveHandle handle) {
  std::lock_guard lock(FMutex);
  TMMResult result = Record(NamedCall("Reset"));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result != MMSYSERR_NOERROR) return result;
  for (auto* queue : {&FReturned, &FQueue}) {
    for (TWaveHdr* header : *queue) MarkDone(header);
    queue->clear();
  }
  Position = 0;
  return MMSYSERR_NOERROR;
}

TMMResult TFakeWaveOutDevice::Unprepare(TWaveHandle handle, TWaveHdr& header) {
  std::lock_guard lock(FMutex);
  TMMResult result = Record(NamedCall("Unprepare", &header));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result != MMSYSERR_NOERROR) return result;
  if (header.dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header.dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

TMMResult TFakeWaveOutDevice::Close(TWaveHandle handle) {
  std::lock_guard lock(FMutex);
  TMMResult result = Record(NamedCall("Close"));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result != MMSYSERR_NOERROR) return result;
  if (!FQueue.empty() || !FReturned.empty()) return WAVERR_STILLPLAYING;
  IsOpen = false;
  FNotes.PushClose(*FTarget);
  FTarget = nullptr;
  return MMSYSERR_NOERROR;
}

TMMResult TFakeWaveOutDevice::GetPosition(TWaveHandle handle, uint32_t& samples) {
  std::lock_guard lock(FMutex);
  TMMResult result = Record(NamedCall("GetPosition"));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result == MMSYSERR_NOERROR) samples = Position;
  return result;
}

TWaveHdr* TFakeWaveOutDevice::TakeReturned(TWaveHandle handle) {
  std::lock_guard lock(FMutex);
  if (CheckHandle(handle) != MMSYSERR_NOERROR || FReturned.empty()) {
    ++FEmptyTakes;
    FTaken.notify_all();
    return nullptr;
  }
  TWaveHdr* header = FReturned.front();
  FReturned.pop_front();
  MarkDone(header);
  return header;
}

TUnderruns TFakeWaveOutDevice::Underruns(TWaveHandle handle) {
  std::lock_guard lock(FMutex);
  return CheckHandle(handle) == MMSYSERR_NOERROR ? FUnderruns : TUnderruns{};
}

std::string TFakeWaveOutDevice::ErrorText(TMMResult code) { return "Fake device error " + std::to_string(code); }

void TFakeWaveOutDevice::DropNotifications(TWaveOutTarget& target) {
  FNotes.Drop(target);
}

void TFakeWaveOutDevice::Fail(const std::string& call, TMMResult code, int times) {
  std::lock_guard lock(FMutex);
  FFailures[call] = {code, times};
}

void TFakeWaveOutDevice::ReturnBuffers(int count) {
  std::unique_lock lock(FMutex);
  const uint64_t empties = FEmptyTakes;
  bool returned = false;
  for (; count > 0 && !FQueue.empty(); --count) {
    TWaveHdr* header = FQueue.front();
    FQueue.pop_front();
    if (Format.nBlockAlign > 0) Position += header->dwBufferLength / Format.nBlockAlign;
    FReturned.push_back(header);
    returned = true;
  }
  if (!returned) return;
  FReturnWake.Signal();
  AwaitTaken(lock, empties);
}

void TFakeWaveOutDevice::AwaitTaken(std::unique_lock<std::mutex>& lock, uint64_t empties) {
  // The render thread handles each buffer it takes before it takes again, so
  // a take that finds none after these were given back means all are handled.
  const bool handled = FTaken.wait_for(lock, std::chrono::seconds(10),
                                       [&] { return FReturned.empty() && FEmptyTakes > empties; });
  if (!handled) ADD_FAILURE() << "no render thread took the buffers the device gave back";
}

void TFakeWaveOutDevice::Starve(uint64_t frames) {
  std::lock_guard lock(FMutex);
  ++FUnderruns.Count;
  FUnderruns.Frames += frames;
}

size_t TFakeWaveOutDevice::QueuedCount() const {
  std::lock_guard lock(FMutex);
  return FQueue.size();
}

std::string TFakeWaveOutDevice::CallLog() const {
  std::lock_guard lock(FMutex);
  std::string log;
  for (const auto& call : Calls) log += (log.empty() ? "" : " ") + call.Name;
  return log;
}

int TFakeWaveOutDevice::CountOf(const std::string& call) const {
  std::lock_guard lock(FMutex);
  return static_cast<int>(std::count_if(Calls.begin(), Calls.end(), [&](const auto& c) { return c.Name == call; }));
}

std::vector<TFakeWaveCall> TFakeWaveOutDevice::Writes() const {
  std::lock_guard lock(FMutex);
  std::vector<TFakeWaveCall> writes;
  std::copy_if(Calls.begin(), Calls.end(), std::back_inserter(writes), [](const auto& c) { return c.Name == "Write"; });
  return writes;
}

TMMResult TFakeWaveOutDevice::Record(TFakeWaveCall call) {
  auto failure = FFailures.find(call.Name);
  Calls.push_back(std::move(call));
  if (failure == FFailures.end() || failure->second.second <= 0) return MMSYSERR_NOERROR;
  --failure->second.second;
  return failure->second.first;
}

TMMResult TFakeWaveOutDevice::CheckHandle(TWaveHandle handle) const {
  return IsOpen && handle == FHandle ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

void TFakeWaveOutDevice::MarkDone(TWaveHdr* header) { header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE; }
