#include "AudioIO/portaudio/PortAudioWaveOut.h"

#include "AudioIO/portaudio/QuietProbe.h"
#include "platform/WaveErrorText.h"

#include <pa_linux_alsa.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <cstring>
#include <future>
#include <memory>

namespace {
/// The most outputs a device offers here: a device without hardware behind
/// it (a file, a sound server's plug-in) claims thousands.
constexpr int MostOutputs = 64;

// Result codes above this carry a PortAudio error: code = base + (error - paNotInitialized).
constexpr TMMResult PaErrorBase = 0x1000;

PaSampleFormat SampleFormat(uint16_t bits) {
  switch (bits) {
    case 8: return paUInt8;
    case 16: return paInt16;
    case 24: return paInt24;
    default: return 0;
  }
}

bool Playable(const TWaveFormatEx& f) {
  return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
         SampleFormat(f.wBitsPerSample) != 0 && f.nBlockAlign == f.wBitsPerSample / 8 * f.nChannels &&
         f.nSamplesPerSec > 0;
}

// Streams open in this process: PortAudio lists its devices anew only when none is.
std::atomic<int> OpenStreams{0};

/// An ALSA card's device is named with the card's number, which changes when
/// the card is plugged in after another one: the name without it.
std::string WithoutCardNumber(const std::string& name) {
  const size_t at = name.rfind(" (hw:");
  return at != std::string::npos && name.back() == ')' ? name.substr(0, at) : name;
}

/// The output device of that name; else the only one that differs from it in the card number alone.
PaDeviceIndex OutputNamed(const std::string& name) {
  PaDeviceIndex renumbered = paNoDevice;
  int renumberedCount = 0;
  for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
    if (info == nullptr || info->maxOutputChannels <= 0) continue;
    if (name == info->name) return i;
    if (WithoutCardNumber(info->name) == WithoutCardNumber(name) && WithoutCardNumber(name) != name) {
      renumbered = i;
      ++renumberedCount;
    }
  }
  return renumberedCount == 1 ? renumbered : paNoDevice;
}
}  // namespace

TPortAudioWaveOut::TPortAudioWaveOut(TStreamStarter startStream) : FStartStream(startStream) {
  const TQuietProbe quiet;
  FInitError = Pa_Initialize();
  if (FInitError != paNoError) return;
  for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
    if (info != nullptr && info->maxOutputChannels > 0) FOutputDevices.push_back(i);
  }
  for (PaDeviceIndex index : FOutputDevices) FOutputNames.emplace_back(Pa_GetDeviceInfo(index)->name);
}

TPortAudioWaveOut::~TPortAudioWaveOut() {
  StopKeeper();
  if (FStream != nullptr) {
    StopStream(TStop::Abort);
    CloseOpenedStream();
  }
  // A close left to finish on its own still uses PortAudio.
  if (FInitError == paNoError && OpenStreams.load() == 0) Pa_Terminate();
}

void TPortAudioWaveOut::Dispatch() {
  FWake.Clear();
  while (FNotes.DeliverNext()) {
  }
}

std::vector<std::string> TPortAudioWaveOut::DeviceNames() {
  return FOutputNames;
}

PaDeviceIndex TPortAudioWaveOut::IndexOf(uint32_t device) const {
  if (FInitError != paNoError) return paNoDevice;
  return device == WAVE_MAPPER                ? Pa_GetDefaultOutputDevice()
         : device < FOutputDevices.size() ? FOutputDevices[device]
                                          : paNoDevice;
}

std::vector<std::string> TPortAudioWaveOut::ChannelNames(uint32_t device) {
  const PaDeviceIndex index = IndexOf(device);
  const PaDeviceInfo* info = index == paNoDevice ? nullptr : Pa_GetDeviceInfo(index);
  std::vector<std::string> names;
  const int count = info != nullptr ? std::min(info->maxOutputChannels, MostOutputs) : 0;
  for (int i = 1; i <= count; ++i) names.push_back(std::to_string(i));
  return names;
}

void TPortAudioWaveOut::PlanSpread(const PaDeviceInfo& info, const TWaveFormatEx& format, uint32_t bufferBytes,
                                   TOutputChannels outputs) {
  FDeviceChannels = 0;
  const auto count = static_cast<size_t>(std::clamp(info.maxOutputChannels, 0, MostOutputs));
  if (outputs.Default() || count < format.nChannels) return;
  FLeftAt = outputs.LeftIndex(count);
  FRightAt = outputs.RightIndex(count);
  if (format.nChannels == 2 && FLeftAt == FRightAt) return;
  FDeviceChannels = static_cast<uint16_t>(count);
  FSampleBytes = format.wBitsPerSample / 8;
  FStreamChannels = format.nChannels;
  FScratchFrames = std::max<uint32_t>(bufferBytes / format.nBlockAlign, 1);
  FScratch = std::make_unique<uint8_t[]>(FScratchFrames * format.nBlockAlign);
}

TMMResult TPortAudioWaveOut::Open(TWaveHandle& handle, uint32_t device, const TWaveFormatEx& format,
                                  uint32_t bufferBytes, TWaveOutTarget& target, TOutputChannels outputs) {
  if (FInitError != paNoError) return FromPaError(FInitError);
  if (FStream != nullptr) return MMSYSERR_ALLOCATED;
  const PaDeviceIndex index = IndexOf(device);
  if (index == paNoDevice) return MMSYSERR_BADDEVICEID;
  if (!Playable(format)) return WAVERR_BADFORMAT;
  PlanSpread(*Pa_GetDeviceInfo(index), format, bufferBytes, outputs);
  if (PaError error = OpenStream(index, format, bufferBytes); error != paNoError) {
    FStream = nullptr;
    return FromPaError(error);
  }
  FBlockAlign = format.nBlockAlign;
  FSilence = format.wBitsPerSample == 8 ? 0x80 : 0;
  FPaused.store(false);
  FLastAudioWritten.store(false);
  FSilenceAfterLast.store(0);
  FFramesPlayed.store(0);
  FUnderrunCount.store(0);
  FUnderrunFrames.store(0);
  FStarving = false;
  FRate = format.nSamplesPerSec;
  FAudioHeardUntil.store(0);
  FCallbackPace.Start(format.nSamplesPerSec);
  FHostWithoutClock = false;
  FCurrent = TQueued{};
  FOffset = 0;
  FQueue.Outstanding.store(0);
  FTarget = &target;
  FOpenedDevice = device;
  FOpenedFormat = format;
  FOpenedBufferBytes = bufferBytes;
  FStreamDead = false;
  StartKeeper();
  handle = ++FHandle;
  FOpenHandle.store(handle);
  FNotes.PushOpen(target);
  FWake.Signal();
  return MMSYSERR_NOERROR;
}

PaError TPortAudioWaveOut::OpenStream(PaDeviceIndex index, const TWaveFormatEx& format, uint32_t bufferBytes) {
  const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
  // The callback takes one of the caller's buffers at a time, so that a ring
  // of two can be refilled between callbacks; the device's own latency holds
  // at least one buffer and never less than its safe default.
  const unsigned long bufferFrames = std::max<uint32_t>(bufferBytes / format.nBlockAlign, 1);
  PaStreamParameters parameters{};
  parameters.device = index;
  parameters.channelCount = FDeviceChannels != 0 ? FDeviceChannels : format.nChannels;
  parameters.sampleFormat = SampleFormat(format.wBitsPerSample);
  parameters.suggestedLatency =
      std::max(info->defaultHighOutputLatency, static_cast<double>(bufferFrames) / format.nSamplesPerSec);
  const bool alsa = Pa_GetHostApiInfo(info->hostApi)->type == paALSA;
  // ALSA plays its buffer in periods and calls back once per period, in a
  // burst of user buffers when a period holds several: a ring of two would
  // run dry within each burst. A period of one user buffer avoids that.
  if (alsa) {
    const double periods = parameters.suggestedLatency * format.nSamplesPerSec / bufferFrames;
    PaAlsa_SetNumPeriods(static_cast<int>(std::clamp(std::ceil(periods), 2.0, 64.0)));
  }
  // The threads the sound library starts for the stream (a sound server's
  // client thread among them) inherit the scheduling of the thread that
  // opens it: opened at real-time priority, they keep up on a busy machine.
  const bool raised = RequestRealtimeScheduling();
  PaError error = Pa_OpenStream(&FStream, nullptr, &parameters, format.nSamplesPerSec, bufferFrames,
                                paClipOff | paDitherOff, &StreamCallback, this);
  if (raised) LeaveRealtimeScheduling();
  if (error != paNoError) return error;
  ++OpenStreams;
  // ALSA's callback thread asks for real-time scheduling; where the system
  // refuses, it runs at normal priority.
  if (alsa) PaAlsa_EnableRealtimeScheduling(FStream, 1);
  FPrimeFrames = static_cast<uint64_t>(Pa_GetStreamInfo(FStream)->outputLatency * format.nSamplesPerSec);
  FMostDrainSilence = static_cast<uint64_t>((2 * Pa_GetStreamInfo(FStream)->outputLatency + 1) * format.nSamplesPerSec);
  return paNoError;
}

TMMResult TPortAudioWaveOut::Prepare(TWaveHandle handle, TWaveHdr& header) {
  if (TMMResult result = CheckHandle(handle)) return result;
  header.dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

TMMResult TPortAudioWaveOut::Write(TWaveHandle handle, TWaveHdr& header) {
  if (TMMResult result = CheckHandle(handle)) return result;
  if (TMMResult result = FQueue.Write(header, FBlockAlign)) return result;
  if (FStreamRunning) return MMSYSERR_NOERROR;
  TMMResult result = StartStream();
  if (result != MMSYSERR_NOERROR) TakeBackUnplayed(header);
  return result;
}

void TPortAudioWaveOut::TakeBackUnplayed(TWaveHdr& header) {
  // The stream did not start, so the GUI thread is the ring's only user, and
  // the ring holds nothing but this header: a stopped stream has no queue.
  TQueued queued;
  while (FQueue.Submitted.Pop(queued)) --FQueue.Outstanding;
  header.dwFlags &= ~WHDR_INQUEUE;
}

TMMResult TPortAudioWaveOut::Pause(TWaveHandle handle) {
  if (TMMResult result = CheckHandle(handle)) return result;
  FPaused.store(true, std::memory_order_release);
  return MMSYSERR_NOERROR;
}

TMMResult TPortAudioWaveOut::Restart(TWaveHandle handle) {
  if (TMMResult result = CheckHandle(handle)) return result;
  FPaused.store(false, std::memory_order_release);
  return MMSYSERR_NOERROR;
}

TMMResult TPortAudioWaveOut::Reset(TWaveHandle handle) {
  if (TMMResult result = CheckHandle(handle)) return result;
  FLastAudioWritten.store(true);
  const std::lock_guard lock(FLock);
  TMMResult result = StopStream(TStop::Abort);
  ReturnQueued();
  FFramesPlayed.store(0);
  return result;
}

TMMResult TPortAudioWaveOut::Unprepare(TWaveHandle handle, TWaveHdr& header) {
  if (TMMResult result = CheckHandle(handle)) return result;
  if (header.dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header.dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

TMMResult TPortAudioWaveOut::Close(TWaveHandle handle) {
  if (TMMResult result = CheckHandle(handle)) return result;
  if (FQueue.Outstanding.load() > 0) return WAVERR_STILLPLAYING;
  StopKeeper();
  StopStream(TStop::Abort);
  PaError error = CloseOpenedStream();
  FStream = nullptr;
  FOpenHandle.store(0);
  if (FTarget != nullptr) FNotes.PushClose(*FTarget);
  FTarget = nullptr;
  FWake.Signal();
  return FromPaError(error);
}

TMMResult TPortAudioWaveOut::GetPosition(TWaveHandle handle, uint32_t& samples) {
  if (TMMResult result = CheckHandle(handle)) return result;
  samples = static_cast<uint32_t>(FFramesPlayed.load(std::memory_order_acquire));
  return MMSYSERR_NOERROR;
}

TWaveHdr* TPortAudioWaveOut::TakeReturned(TWaveHandle handle) {
  return CheckHandle(handle) == MMSYSERR_NOERROR ? FQueue.TakeReturned() : nullptr;
}

void TPortAudioWaveOut::Drain(TWaveHandle handle, const std::atomic<bool>& stop) {
  if (CheckHandle(handle) != MMSYSERR_NOERROR) return;
  FSilenceAfterLast.store(0);
  FLastAudioWritten.store(true);
  const std::lock_guard lock(FLock);
  // A sound server may take far more than the stream's latency and drop it
  // at the stop: wait by the stream's clock until the last audio is heard,
  // and a latency more, which the clock of a sound server's stream does not
  // always include (never longer than ten seconds). A device without a clock
  // has taken it all already; a drain would only feed it silence as fast as
  // it takes it.
  const double heard = FAudioHeardUntil.load(std::memory_order_relaxed);
  const double until = heard > 0 && !FStreamDead ? heard + Pa_GetStreamInfo(FStream)->outputLatency : 0;
  const TClock::time_point limit = TClock::now() + std::chrono::seconds(10);
  while (until > 0 && Pa_GetStreamTime(FStream) < until && TClock::now() < limit && !stop.load() &&
         Pa_IsStreamActive(FStream) == 1)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  StopStream(stop.load() ? TStop::Abort : TStop::Drain);
}

TUnderruns TPortAudioWaveOut::Underruns(TWaveHandle handle) {
  if (CheckHandle(handle) != MMSYSERR_NOERROR) return {};
  return {FUnderrunCount.load(std::memory_order_relaxed), FUnderrunFrames.load(std::memory_order_relaxed)};
}

std::string TPortAudioWaveOut::ErrorText(TMMResult code) {
  if (auto text = CommonWaveErrorText(code)) return *text;
  if (code >= PaErrorBase) {
    auto error = static_cast<PaError>(static_cast<int>(code - PaErrorBase) + paNotInitialized);
    if (error == paUnanticipatedHostError) {
      const PaHostErrorInfo* info = Pa_GetLastHostErrorInfo();
      if (info != nullptr && info->errorText != nullptr && *info->errorText) return info->errorText;
    }
    return Pa_GetErrorText(error);
  }
  return "Unspecified error in the sound device.";
}

void TPortAudioWaveOut::DropNotifications(TWaveOutTarget& target) {
  FNotes.Drop(target);
  if (FTarget == &target) FTarget = nullptr;
}

int TPortAudioWaveOut::StreamCallback(const void*, void* output, unsigned long frames,
                                      const PaStreamCallbackTimeInfo* timeInfo, PaStreamCallbackFlags statusFlags,
                                      void* self) noexcept {
  auto& device = *static_cast<TPortAudioWaveOut*>(self);
  device.FCallbacks.fetch_add(1, std::memory_order_relaxed);
  // A clocked host asked for more after the priming silence still holds
  // audio, unless it ran dry, which it reports as an underflow. One that
  // holds nothing and reports nothing takes audio as fast as it comes: it has
  // no clock (a file), and also no deadline.
  if (device.FPrimeFrames == 0 && HostHoldsNothing(timeInfo) && (statusFlags & paOutputUnderflow) == 0)
    device.FHostWithoutClock = true;
  const double dacTime = timeInfo != nullptr ? timeInfo->outputBufferDacTime : 0;
  const bool underflowed = (statusFlags & paOutputUnderflow) != 0;
  if (device.FDeviceChannels != 0)
    device.RenderSpread(static_cast<uint8_t*>(output), frames, WaitAllowance(timeInfo), dacTime, underflowed);
  else
    device.Render(static_cast<uint8_t*>(output), frames, WaitAllowance(timeInfo), dacTime, underflowed);
  // After the last audio a clocked device has played it out long before this
  // much silence; a device without a clock (a file) would take silence for
  // as long as it is given: the stream ends here, its audio played out.
  const bool drained = device.FLastAudioWritten.load(std::memory_order_relaxed) &&
                       device.FSilenceAfterLast.load(std::memory_order_relaxed) >= device.FMostDrainSilence;
  return drained ? paComplete : paContinue;
}

TPortAudioWaveOut::TClock::duration TPortAudioWaveOut::WaitAllowance(const PaStreamCallbackTimeInfo* timeInfo) noexcept {
  // The host plays what it holds until this callback's output is due; a
  // margin before that stays for the host's own work.
  constexpr double MarginSeconds = 0.002, MostSeconds = 0.02;
  if (timeInfo == nullptr || timeInfo->currentTime <= 0 || timeInfo->outputBufferDacTime <= 0) return {};
  const double ahead = timeInfo->outputBufferDacTime - timeInfo->currentTime - MarginSeconds;
  return std::chrono::duration_cast<TClock::duration>(
      std::chrono::duration<double>(std::clamp(ahead, 0.0, MostSeconds)));
}

bool TPortAudioWaveOut::HostHoldsNothing(const PaStreamCallbackTimeInfo* timeInfo) noexcept {
  return timeInfo != nullptr && timeInfo->currentTime > 0 && timeInfo->outputBufferDacTime > 0 &&
         timeInfo->outputBufferDacTime <= timeInfo->currentTime;
}

bool TPortAudioWaveOut::AwaitBuffer(TClock::time_point deadline) noexcept {
  if (TClock::now() >= deadline || FLastAudioWritten.load(std::memory_order_relaxed) ||
      FPaused.load(std::memory_order_relaxed) || FReplacing.load(std::memory_order_relaxed))
    return false;
  std::this_thread::sleep_for(std::chrono::microseconds(100));
  return true;
}

void TPortAudioWaveOut::Render(uint8_t* output, size_t frames, TClock::duration allowance, double dacTime,
                               bool underflowed) noexcept {
  // A device without a clock of its own (a file) takes audio as fast as it
  // comes; it would fill itself with silence between buffers. It waits for
  // them as long as the output runs: until a stop, a drain or a pause (the
  // limit only guards against a render thread that is gone).
  constexpr auto ClocklessWait = std::chrono::seconds(10);
  const bool clockless = FHostWithoutClock || FCallbackPace.Released();
  const TClock::time_point deadline = TClock::now() + (clockless ? TClock::duration(ClocklessWait) : allowance);
  const size_t callbackFrames = frames;
  // A starting stream fills the host's whole buffer at once, many callbacks
  // in a row: that first buffer gets silence, so that the ring's audio
  // follows at the device's own pace instead of running dry within the burst.
  if (FPrimeFrames > 0) {
    const size_t prime = std::min<uint64_t>(frames, FPrimeFrames);
    std::memset(output, FSilence, prime * FBlockAlign);
    FPrimeFrames -= prime;
    output += prime * FBlockAlign;
    frames -= prime;
  }
  FCallbackPace.Handled(frames);
  const size_t wanted = frames * FBlockAlign;
  size_t written = 0;
  bool finished = false;
  // A paused device plays silence and keeps its queue.
  const bool paused = FPaused.load(std::memory_order_acquire);
  while (written < wanted && !paused) {
    if (FCurrent.Header == nullptr && !FQueue.Submitted.Pop(FCurrent)) {
      // Within a burst of callbacks the ring can be empty for the moment the
      // render thread takes to refill the buffer just played: while the host
      // still holds audio, a short wait for it beats a gap.
      if (finished) FReturns.Signal();
      if (!AwaitBuffer(deadline)) break;
      continue;
    }
    size_t count = std::min<size_t>(FCurrent.Bytes - FOffset, wanted - written);
    std::memcpy(output + written, FCurrent.Header->lpData + FOffset, count);
    written += count;
    FOffset += static_cast<uint32_t>(count);
    if (FOffset == FCurrent.Bytes) {
      FQueue.Finished.Push(FCurrent.Header);  // cannot be full: Write keeps at most RingSize out
      FCurrent = TQueued{};
      FOffset = 0;
      finished = true;
    }
  }
  std::memset(output + written, FSilence, wanted - written);
  if (FLastAudioWritten.load(std::memory_order_relaxed))
    FSilenceAfterLast.fetch_add((wanted - written) / FBlockAlign, std::memory_order_relaxed);
  FFramesPlayed.fetch_add(written / FBlockAlign, std::memory_order_release);
  if (written > 0 && dacTime > 0)
    FAudioHeardUntil.store(dacTime + static_cast<double>(callbackFrames - frames + written / FBlockAlign) / FRate,
                           std::memory_order_relaxed);
  // The host's underflow while it is still being primed is before the signal.
  const bool primed = callbackFrames == frames;
  if (!paused) CountUnderrun(frames, (wanted - written) / FBlockAlign, underflowed && primed);
  if (finished) FReturns.Signal();
}

void TPortAudioWaveOut::RenderSpread(uint8_t* output, size_t frames, TClock::duration allowance, double dacTime,
                                     bool underflowed) noexcept {
  // PortAudio calls with the frames per buffer it was opened with, which the
  // scratch holds; a longer call is rendered in parts.
  const size_t deviceAlign = size_t{FDeviceChannels} * FSampleBytes;
  while (frames > 0) {
    const size_t part = std::min(frames, FScratchFrames);
    Render(FScratch.get(), part, allowance, dacTime, underflowed);
    std::memset(output, FSilence, part * deviceAlign);
    const uint8_t* from = FScratch.get();
    for (size_t f = 0; f < part; ++f, from += FBlockAlign, output += deviceAlign) {
      std::memcpy(output + size_t{FLeftAt} * FSampleBytes, from, FSampleBytes);
      if (FStreamChannels == 2) std::memcpy(output + size_t{FRightAt} * FSampleBytes, from + FSampleBytes, FSampleBytes);
    }
    frames -= part;
    underflowed = false;
  }
}

void TPortAudioWaveOut::CountUnderrun(size_t frames, size_t missing, bool underflowed) noexcept {
  // The host's own underflow inserted a gap of about one callback.
  if (underflowed) {
    FUnderrunCount.fetch_add(1, std::memory_order_relaxed);
    FUnderrunFrames.fetch_add(frames, std::memory_order_relaxed);
  }
  // Callbacks that run out of buffers one after the other make one gap.
  if (missing > 0 && !FStarving) FUnderrunCount.fetch_add(1, std::memory_order_relaxed);
  FUnderrunFrames.fetch_add(missing, std::memory_order_relaxed);
  FStarving = missing > 0;
}

TMMResult TPortAudioWaveOut::CheckHandle(TWaveHandle handle) const {
  // Not FStream: the keeper replaces it while the render thread calls.
  return handle != 0 && handle == FOpenHandle.load() ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

TMMResult TPortAudioWaveOut::StartStream() {
  if (FStreamDead) return FromPaError(paDeviceUnavailable);
  PaError error = FStartStream(FStream);
  FStreamRunning = error == paNoError;
  return FromPaError(error);
}

TMMResult TPortAudioWaveOut::StopStream(TStop how) {
  if (!FStreamRunning) return MMSYSERR_NOERROR;
  FLastAudioWritten.store(true);  // a callback waiting for a buffer gives up, so that the stop can join it
  if (FStreamDead) {
    FStreamRunning = false;
    return MMSYSERR_NOERROR;
  }
  // Both join the device thread, so the GUI thread may touch its state
  // afterwards; a drain first plays what the host still holds.
  PaError error = how == TStop::Drain ? Pa_StopStream(FStream) : Pa_AbortStream(FStream);
  FStreamRunning = false;
  return FromPaError(error);
}

void TPortAudioWaveOut::ReturnQueued() {
  // The device thread is stopped and the render thread takes nothing: the
  // GUI thread empties both rings now.
  FQueue.ReturnAll(FCurrent);
  FOffset = 0;
}


TMMResult TPortAudioWaveOut::FromPaError(PaError error) {
  if (error == paNoError) return MMSYSERR_NOERROR;
  return PaErrorBase + static_cast<TMMResult>(error - paNotInitialized);
}

void TPortAudioWaveOut::StartKeeper() {
  FKeeperStop = false;
  FKeeper = std::thread([this] { KeeperLoop(); });
}

void TPortAudioWaveOut::StopKeeper() {
  {
    const std::lock_guard lock(FLock);
    FKeeperStop = true;
  }
  FKeeperWake.notify_all();
  if (FKeeper.joinable()) FKeeper.join();
}

void TPortAudioWaveOut::KeeperLoop() {
  constexpr auto Period = std::chrono::milliseconds(500);
  // A stream whose callbacks stop for this long has lost its device, also
  // where the sound library does not say so; never less than four seconds: a
  // stream through a sound server may not call back for more than a second as it starts.
  const auto stallLimit = std::max<TClock::duration>(
      std::chrono::seconds(4),
      std::chrono::milliseconds(4000ull * FOpenedBufferBytes / FOpenedFormat.nBlockAlign / FOpenedFormat.nSamplesPerSec));
  std::unique_lock lock(FLock);
  uint64_t seen = FCallbacks.load();
  TClock::time_point lastCall = TClock::now();
  while (!FKeeperWake.wait_for(lock, Period, [this] { return FKeeperStop; })) {
    const uint64_t calls = FCallbacks.load(std::memory_order_relaxed);
    const bool shouldPlay = FStreamRunning.load() && !FLastAudioWritten.load();
    if (calls != seen || !shouldPlay) {
      seen = calls;
      lastCall = TClock::now();
      continue;
    }
    if ((StreamDied() || TClock::now() - lastCall >= stallLimit) && Reopen()) lastCall = TClock::now();
  }
}

bool TPortAudioWaveOut::StreamDied() { return FStreamDead || Pa_IsStreamActive(FStream) != 1; }

bool TPortAudioWaveOut::Reopen() {
  if (!FStreamDead) {
    FReplacing.store(true);
    DropDeadStream();
    FStreamDead = true;
    FReplacing.store(false);
  }
  // The device thread is gone: its state is the keeper's until the new stream starts.
  const TQuietProbe quiet;  // the missing device's every attempt would be reported
  PaDeviceIndex index = FindOpenedDevice();
  PaStream* const dead = FStream;
  PaError error = index == paNoDevice ? paDeviceUnavailable : OpenStream(index, FOpenedFormat, FOpenedBufferBytes);
  if (error != paNoError && OpenStreams.load() == 0) {
    // A device plugged in again may be new to PortAudio, at another index.
    Reenumerate();
    index = FindOpenedDevice();
    if (index != paNoDevice) error = OpenStream(index, FOpenedFormat, FOpenedBufferBytes);
  }
  if (error != paNoError) {
    FStream = dead;  // closed: never used while FStreamDead
    return false;
  }
  FStreamDead = false;
  FStarving = false;
  FHostWithoutClock = false;
  FCallbackPace.Start(FRate);
  if (FStartStream(FStream) == paNoError) return true;
  CloseOpenedStream();
  FStreamDead = true;
  return false;
}

void TPortAudioWaveOut::DropDeadStream() {
  // The sound library may wait for ever for a server that is stopped: its
  // close then finishes on a thread of its own whenever it returns.
  auto closed = std::make_shared<std::promise<void>>();
  std::future<void> done = closed->get_future();
  std::thread([stream = FStream, closed] {
    Pa_AbortStream(stream);
    Pa_CloseStream(stream);
    --OpenStreams;
    closed->set_value();
  }).detach();
  done.wait_for(std::chrono::seconds(2));
}

PaDeviceIndex TPortAudioWaveOut::FindOpenedDevice() const {
  if (FInitError != paNoError) return paNoDevice;
  if (FOpenedDevice == WAVE_MAPPER) return Pa_GetDefaultOutputDevice();
  return FOpenedDevice < FOutputNames.size() ? OutputNamed(FOutputNames[FOpenedDevice]) : paNoDevice;
}

PaError TPortAudioWaveOut::CloseOpenedStream() {
  if (FStreamDead) return paNoError;
  --OpenStreams;
  return Pa_CloseStream(FStream);
}

void TPortAudioWaveOut::Reenumerate() {
  if (FInitError == paNoError) Pa_Terminate();
  FInitError = Pa_Initialize();
  // The ids the program holds keep naming the same devices.
  for (size_t id = 0; id < FOutputNames.size(); ++id)
    FOutputDevices[id] = FInitError == paNoError ? OutputNamed(FOutputNames[id]) : paNoDevice;
}
