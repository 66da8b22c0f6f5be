#include "tests/fakes/FakeWaveOutDevice.h"

#include <algorithm>
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

void TFakeWaveOutDevice::Dispatch() {
  if (AutoReturn) ReturnBuffers(static_cast<int>(FQueue.size()));
  // Targets may call back into the device (write, close) while a note is delivered.
  while (FNotes.DeliverNext()) {
  }
}

TMMResult TFakeWaveOutDevice::Open(TWaveHandle& handle, uint32_t device, const TWaveFormatEx& format,
                                   TWaveOutTarget& target) {
  TMMResult result = Record(NamedCall("Open", nullptr, device));
  if (result != MMSYSERR_NOERROR) return result;
  if (IsOpen) return MMSYSERR_ALLOCATED;
  if (device != WAVE_MAPPER && device >= Names.size()) return MMSYSERR_BADDEVICEID;
  IsOpen = true;
  IsPaused = false;
  Format = format;
  Position = 0;
  FStarted = false;
  FTarget = &target;
  handle = ++FHandle;
  FNotes.PushOpen(target);
  return MMSYSERR_NOERROR;
}

TMMResult TFakeWaveOutDevice::Prepare(TWaveHandle handle, TWaveHdr& header) {
  TMMResult result = Record(NamedCall("Prepare", &header));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result == MMSYSERR_NOERROR) header.dwFlags |= WHDR_PREPARED;
  return result;
}

TMMResult TFakeWaveOutDevice::Write(TWaveHandle handle, TWaveHdr& header) {
  TFakeWaveCall call = NamedCall("Write", &header);
  call.Length = header.dwBufferLength;
  call.Data.assign(header.lpData, header.lpData + header.dwBufferLength);
  TMMResult result = Record(std::move(call));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result != MMSYSERR_NOERROR) return result;
  if (!(header.dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
  header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  FQueue.push_back(&header);
  if (FStarted || FStartFailure == MMSYSERR_NOERROR) {
    FStarted = true;
    return MMSYSERR_NOERROR;
  }
  return std::exchange(FStartFailure, MMSYSERR_NOERROR);
}

TMMResult TFakeWaveOutDevice::Pause(TWaveHandle handle) {
  TMMResult result = Record(NamedCall("Pause"));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result == MMSYSERR_NOERROR) IsPaused = true;
  return result;
}

TMMResult TFakeWaveOutDevice::Restart(TWaveHandle handle) {
  TMMResult result = Record(NamedCall("Restart"));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result == MMSYSERR_NOERROR) IsPaused = false;
  return result;
}

TMMResult TFakeWaveOutDevice::Reset(TWaveHandle handle) {
  TMMResult result = Record(NamedCall("Reset"));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result != MMSYSERR_NOERROR) return result;
  while (!FQueue.empty()) {
    GiveBack(FQueue.front());
    FQueue.pop_front();
  }
  Position = 0;
  return MMSYSERR_NOERROR;
}

TMMResult TFakeWaveOutDevice::Unprepare(TWaveHandle handle, TWaveHdr& header) {
  TMMResult result = Record(NamedCall("Unprepare", &header));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result != MMSYSERR_NOERROR) return result;
  if (header.dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header.dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

TMMResult TFakeWaveOutDevice::Close(TWaveHandle handle) {
  TMMResult result = Record(NamedCall("Close"));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result != MMSYSERR_NOERROR) return result;
  if (!FQueue.empty()) return WAVERR_STILLPLAYING;
  IsOpen = false;
  FNotes.PushClose(*FTarget);
  FTarget = nullptr;
  return MMSYSERR_NOERROR;
}

TMMResult TFakeWaveOutDevice::GetPosition(TWaveHandle handle, uint32_t& samples) {
  TMMResult result = Record(NamedCall("GetPosition"));
  if (result == MMSYSERR_NOERROR) result = CheckHandle(handle);
  if (result == MMSYSERR_NOERROR) samples = Position;
  return result;
}

std::string TFakeWaveOutDevice::ErrorText(TMMResult code) { return "Fake device error " + std::to_string(code); }

void TFakeWaveOutDevice::DropNotifications(TWaveOutTarget& target) {
  FNotes.Drop(target);
}

void TFakeWaveOutDevice::Fail(const std::string& call, TMMResult code, int times) { FFailures[call] = {code, times}; }

void TFakeWaveOutDevice::ReturnBuffers(int count) {
  for (; count > 0 && !FQueue.empty(); --count) {
    TWaveHdr* header = FQueue.front();
    FQueue.pop_front();
    if (Format.nBlockAlign > 0) Position += header->dwBufferLength / Format.nBlockAlign;
    GiveBack(header);
  }
}

std::string TFakeWaveOutDevice::CallLog() const {
  std::string log;
  for (const auto& call : Calls) log += (log.empty() ? "" : " ") + call.Name;
  return log;
}

int TFakeWaveOutDevice::CountOf(const std::string& call) const {
  return static_cast<int>(std::count_if(Calls.begin(), Calls.end(), [&](const auto& c) { return c.Name == call; }));
}

std::vector<TFakeWaveCall> TFakeWaveOutDevice::Writes() const {
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

void TFakeWaveOutDevice::GiveBack(TWaveHdr* header) {
  header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
  FNotes.PushDone(*FTarget, *header);
}
