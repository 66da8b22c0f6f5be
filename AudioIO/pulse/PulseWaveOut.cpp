#include "AudioIO/pulse/PulseWaveOut.h"

#include "platform/WaveErrorText.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {
constexpr pa_usec_t RetryInterval = 500 * 1000;
/// How often the open stream asks the server where it plays (for GetPosition).
constexpr pa_usec_t TimingInterval = 100 * 1000;
/// The longest a call of the GUI thread waits for the server.
constexpr auto ServerWait = std::chrono::seconds(3);
constexpr TMMResult ServerGone = 0x2001;

pa_sample_format_t SampleFormat(uint16_t bits) {
  switch (bits) {
    case 8: return PA_SAMPLE_U8;
    case 16: return PA_SAMPLE_S16LE;
    case 24: return PA_SAMPLE_S24LE;
    default: return PA_SAMPLE_INVALID;
  }
}

bool Playable(const TWaveFormatEx& f) {
  return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
         SampleFormat(f.wBitsPerSample) != PA_SAMPLE_INVALID &&
         f.nBlockAlign == f.wBitsPerSample / 8 * f.nChannels && f.nSamplesPerSec > 0 &&
         f.nSamplesPerSec <= PA_RATE_MAX;
}

/// A position by the name a speaker has in a room.
std::string PositionName(pa_channel_position_t position) {
  switch (position) {
    case PA_CHANNEL_POSITION_MONO: return "Mono";
    case PA_CHANNEL_POSITION_FRONT_LEFT: return "Front Left";
    case PA_CHANNEL_POSITION_FRONT_RIGHT: return "Front Right";
    case PA_CHANNEL_POSITION_FRONT_CENTER: return "Centre";
    case PA_CHANNEL_POSITION_LFE: return "LFE";
    case PA_CHANNEL_POSITION_REAR_LEFT: return "Rear Left";
    case PA_CHANNEL_POSITION_REAR_RIGHT: return "Rear Right";
    case PA_CHANNEL_POSITION_REAR_CENTER: return "Rear Centre";
    case PA_CHANNEL_POSITION_SIDE_LEFT: return "Side Left";
    case PA_CHANNEL_POSITION_SIDE_RIGHT: return "Side Right";
    default: {
      const char* pretty = pa_channel_position_to_pretty_string(position);
      return pretty != nullptr ? pretty : "Unknown";
    }
  }
}

bool Gone(pa_stream_state_t state) { return state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED; }
bool Gone(pa_context_state_t state) { return state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED; }
}  // namespace

/// Holds the main loop's lock; for every thread but the main loop's own.
class TPulseWaveOut::TLock {
public:
  explicit TLock(pa_threaded_mainloop* loop) : FLoop(loop) { pa_threaded_mainloop_lock(FLoop); }
  ~TLock() { pa_threaded_mainloop_unlock(FLoop); }
  TLock(const TLock&) = delete;
  TLock& operator=(const TLock&) = delete;

private:
  pa_threaded_mainloop* FLoop;
};

TPulseWaveOut::TPulseWaveOut() = default;

std::unique_ptr<TPulseWaveOut> TPulseWaveOut::Connect() {
  std::unique_ptr<TPulseWaveOut> device(new TPulseWaveOut);
  if (!device->StartLoop()) return nullptr;
  bool ready = false;
  {
    TLock lock(device->FLoop);
    ready = device->ConnectContext() &&
            device->WaitFor([&] { return pa_context_get_state(device->FContext) == PA_CONTEXT_READY; });
  }
  return ready ? std::move(device) : nullptr;
}

TPulseWaveOut::~TPulseWaveOut() {
  if (FLoop == nullptr) return;
  {
    TLock lock(FLoop);
    FWanted = false;
    DropStream();
    DropContext();
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(FLoop);
    if (FPumpEvent != nullptr) api->io_free(FPumpEvent);
    if (FRetryEvent != nullptr) api->time_free(FRetryEvent);
    if (FTimingEvent != nullptr) api->time_free(FTimingEvent);
  }
  pa_threaded_mainloop_stop(FLoop);
  pa_threaded_mainloop_free(FLoop);
}

bool TPulseWaveOut::StartLoop() {
  FLoop = pa_threaded_mainloop_new();
  if (FLoop == nullptr) return false;
  pa_threaded_mainloop_set_name(FLoop, "zephyra-pulse");
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(FLoop);
  FPumpEvent = api->io_new(api, FPumpWake.Fd(), PA_IO_EVENT_INPUT, &OnPumpWake, this);
  FRetryEvent = api->time_new(api, nullptr, &OnRetry, this);
  FTimingEvent = api->time_new(api, nullptr, &OnTiming, this);
  return pa_threaded_mainloop_start(FLoop) >= 0;
}

template <typename TDone>
bool TPulseWaveOut::WaitFor(TDone done) {
  const auto deadline = std::chrono::steady_clock::now() + ServerWait;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    pa_threaded_mainloop_unlock(FLoop);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    pa_threaded_mainloop_lock(FLoop);
  }
  return true;
}

// ---- the server connection (main loop thread, or another holding the lock) ----

bool TPulseWaveOut::ConnectContext() {
  FContext = pa_context_new(pa_threaded_mainloop_get_api(FLoop), "Zephyra");
  if (FContext == nullptr) return false;
  pa_context_set_state_callback(FContext, &OnContextState, this);
  if (pa_context_connect(FContext, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    DropContext();
    return false;
  }
  return true;
}

void TPulseWaveOut::DropContext() {
  if (FContext == nullptr) return;
  pa_context_set_state_callback(FContext, nullptr, nullptr);
  pa_context_disconnect(FContext);
  pa_context_unref(FContext);
  FContext = nullptr;
}

bool TPulseWaveOut::ConnectStream() {
  FStream = pa_stream_new(FContext, "Zephyra", &FSampleFormat, FStreamMap ? &*FStreamMap : nullptr);
  if (FStream == nullptr) return false;
  FTriggered = false;
  pa_stream_set_state_callback(FStream, &OnStreamState, this);
  pa_stream_set_write_callback(FStream, &OnWrite, this);
  pa_stream_set_underflow_callback(FStream, &OnUnderflow, this);
  pa_stream_set_started_callback(FStream, &OnStarted, this);
  // The server holds the user's ring and asks for one buffer at a time; it
  // starts playing once the whole ring is there, so no silence goes ahead.
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<uint32_t>(-1);
  attr.tlength = FBufferBytes * FRingBuffers;
  attr.prebuf = attr.tlength;
  attr.minreq = FBufferBytes;
  attr.fragsize = static_cast<uint32_t>(-1);
  // The sink's own latency follows the ring too: a sink left at its default
  // (seconds on some) would delay every change and the start after a loss.
  // The timing is asked for by OnTiming: libpulse's automatic updates ask
  // the server after every write, a round trip per buffer.
  auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_ADJUST_LATENCY);
  if (FPaused.load()) flags = static_cast<pa_stream_flags_t>(flags | PA_STREAM_START_CORKED);
  // A chosen sink that goes away is a lost device, not a reason to play elsewhere;
  // the default follows whatever the server calls its default.
  if (!FSinkName.empty()) flags = static_cast<pa_stream_flags_t>(flags | PA_STREAM_DONT_MOVE);
  // Chosen outputs are played there alone: the server spreads no channel over the others.
  if (FStreamMap) flags = static_cast<pa_stream_flags_t>(flags | PA_STREAM_NO_REMIX_CHANNELS);
  if (pa_stream_connect_playback(FStream, FSinkName.empty() ? nullptr : FSinkName.c_str(), &attr, flags, nullptr,
                                 nullptr) < 0) {
    DropStream();
    return false;
  }
  ArmTimer(FTimingEvent, TimingInterval);
  return true;
}

void TPulseWaveOut::DropStream() {
  if (FStream == nullptr) return;
  pa_threaded_mainloop_get_api(FLoop)->time_restart(FTimingEvent, nullptr);
  pa_usec_t played = 0;
  if (pa_stream_get_state(FStream) == PA_STREAM_READY && pa_stream_get_time(FStream, &played) >= 0)
    FFramesBefore += played * FSampleFormat.rate / 1000000;
  pa_stream_set_state_callback(FStream, nullptr, nullptr);
  pa_stream_set_write_callback(FStream, nullptr, nullptr);
  pa_stream_set_underflow_callback(FStream, nullptr, nullptr);
  pa_stream_set_started_callback(FStream, nullptr, nullptr);
  if (pa_stream_get_state(FStream) == PA_STREAM_READY) pa_stream_disconnect(FStream);
  pa_stream_unref(FStream);
  FStream = nullptr;
}

void TPulseWaveOut::ArmTimer(pa_time_event* event, pa_usec_t after) {
  timeval tv;
  pa_timeval_add(pa_gettimeofday(&tv), after);
  pa_threaded_mainloop_get_api(FLoop)->time_restart(event, &tv);
}

void TPulseWaveOut::ArmRetry() { ArmTimer(FRetryEvent, RetryInterval); }

void TPulseWaveOut::OnTiming(pa_mainloop_api*, pa_time_event* event, const struct timeval*, void* self) {
  auto& d = *static_cast<TPulseWaveOut*>(self);
  if (d.FStream == nullptr) return;
  if (pa_stream_get_state(d.FStream) == PA_STREAM_READY)
    if (pa_operation* op = pa_stream_update_timing_info(d.FStream, nullptr, nullptr)) pa_operation_unref(op);
  d.ArmTimer(event, TimingInterval);
}

void TPulseWaveOut::StreamFailed() noexcept {
  if (!FWanted || FStreamLost) return;
  FStreamLost = true;
  // A loss that follows an underflow is the same silence, counted once.
  const int64_t gap = FGapSinceNs.exchange(0);
  if (gap == 0) FUnderrunCount.fetch_add(1, std::memory_order_relaxed);
  if (FLoss.MarkLost(gap != 0 ? gap : SteadyNowNs())) FWake.Signal();
  ArmRetry();
}

void TPulseWaveOut::OnRetry(pa_mainloop_api* api, pa_time_event* event, const struct timeval*, void* self) {
  auto& d = *static_cast<TPulseWaveOut*>(self);
  api->time_restart(event, nullptr);
  if (!d.FWanted || !d.FStreamLost) return;
  if (d.FContext == nullptr || Gone(pa_context_get_state(d.FContext))) {
    d.DropStream();
    d.DropContext();
    d.ConnectContext();  // the stream follows once the server answers
  } else if (pa_context_get_state(d.FContext) == PA_CONTEXT_READY &&
             (d.FStream == nullptr || Gone(pa_stream_get_state(d.FStream)))) {
    d.DropStream();
    d.ConnectStream();
  }
  d.ArmRetry();
}

void TPulseWaveOut::OnContextState(pa_context* context, void* self) {
  auto& d = *static_cast<TPulseWaveOut*>(self);
  const pa_context_state_t state = pa_context_get_state(context);
  if (Gone(state)) d.StreamFailed();
  if (state == PA_CONTEXT_READY && d.FWanted && d.FStreamLost && d.FStream == nullptr) d.ConnectStream();
}

void TPulseWaveOut::OnStreamState(pa_stream* stream, void* self) {
  auto& d = *static_cast<TPulseWaveOut*>(self);
  const pa_stream_state_t state = pa_stream_get_state(stream);
  if (Gone(state)) d.StreamFailed();
  // A paused stream starts no playback that could tell its return.
  if (state == PA_STREAM_READY && d.FPaused.load() && d.FStreamLost) OnStarted(stream, self);
}

// ---- the sample path (main loop thread): no allocation of ours, no lock of ours ----

// The server asks for bytes (the size it offers is what pa_stream_writable_size would tell).
void TPulseWaveOut::OnWrite(pa_stream*, size_t bytes, void* self) { static_cast<TPulseWaveOut*>(self)->Pump(bytes); }

void TPulseWaveOut::OnPumpWake(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* self) {
  TEventFd::Drain(fd);
  auto& d = *static_cast<TPulseWaveOut*>(self);
  if (d.FStream != nullptr && pa_stream_get_state(d.FStream) == PA_STREAM_READY)
    d.Pump(pa_stream_writable_size(d.FStream));
}

bool TPulseWaveOut::AwaitWrite() noexcept {
  // A buffer pushed before the mark is seen by the second look; one pushed
  // after it finds the mark (both sides fence between their store and load).
  FWantsData.store(true, std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_seq_cst);
  if (!FQueue.Submitted.Pop(FCurrent)) return false;
  FWantsData.store(false, std::memory_order_relaxed);  // at worst the writer wakes this thread once for nothing
  return true;
}

void TPulseWaveOut::Pump(size_t room) noexcept {
  if (FStream == nullptr || pa_stream_get_state(FStream) != PA_STREAM_READY) return;
  if (room == static_cast<size_t>(-1)) return;
  bool finished = false;
  while (true) {
    // The server wants more than is queued: the next Write wakes this thread.
    if (FCurrent.Header == nullptr && !FQueue.Submitted.Pop(FCurrent) && (room < FBlockAlign || !AwaitWrite()))
      break;
    size_t count = std::min<size_t>(FCurrent.Bytes - FOffset, room);
    count -= count % FBlockAlign;
    if (count > 0) {
      // libpulse copies the data into its own memory block.
      if (pa_stream_write(FStream, FCurrent.Header->lpData + FOffset, count, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
        FWantsData.store(true);  // the next Write tries again
        break;
      }
      FOffset += static_cast<uint32_t>(count);
      room -= count;
    }
    if (FOffset < FCurrent.Bytes) break;  // the server has no room for more now
    FQueue.Finished.Push(FCurrent.Header);      // cannot be full: Write keeps at most RingSize out
    FCurrent = TQueued{};
    FOffset = 0;
    finished = true;
  }
  if (finished) FReturns.Signal();
  // A stream opened again after a loss has been given all the server asked
  // for, which may be less than its start threshold: it starts now, not
  // when the server next looks.
  if (FStreamLost && room == 0 && !FTriggered) {
    FTriggered = true;
    if (pa_operation* op = pa_stream_trigger(FStream, nullptr, nullptr)) pa_operation_unref(op);
  }
}

void TPulseWaveOut::OnUnderflow(pa_stream*, void* self) {
  auto& d = *static_cast<TPulseWaveOut*>(self);
  // The read index passed the write index: from now the sink plays silence.
  if (d.FPaused.load() || d.FDraining.load() || d.FLoss.Lost()) return;
  int64_t none = 0;
  if (d.FGapSinceNs.compare_exchange_strong(none, SteadyNowNs())) d.FUnderrunCount.fetch_add(1);
}

void TPulseWaveOut::OnStarted(pa_stream*, void* self) {
  auto& d = *static_cast<TPulseWaveOut*>(self);
  const int64_t now = SteadyNowNs();
  if (const int64_t gap = d.FGapSinceNs.exchange(0); gap != 0) d.FUnderrunFrames.fetch_add(d.FramesOf(now - gap));
  if (!d.FStreamLost) return;
  d.FStreamLost = false;
  d.FUnderrunFrames.fetch_add(d.FramesOf(d.FLoss.MarkBack(now)));
  d.FWake.Signal();
}

uint64_t TPulseWaveOut::FramesOf(int64_t ns) const noexcept {
  return ns <= 0 ? 0 : static_cast<uint64_t>(static_cast<double>(ns) * FSampleFormat.rate / 1e9);
}

// ---- the interface (GUI thread unless it says otherwise) ----

void TPulseWaveOut::Dispatch() {
  FWake.Clear();
  while (FNotes.DeliverNext()) {
  }
  FLoss.Deliver(FTarget);
}

std::vector<std::string> TPulseWaveOut::DeviceNames() {
  std::vector<TSink> sinks;
  {
    TLock lock(FLoop);
    if (FContext == nullptr || Gone(pa_context_get_state(FContext))) {
      if (!FWanted) {
        DropContext();
        ConnectContext();
      }
    }
    if (FContext != nullptr &&
        WaitFor([&] { return pa_context_get_state(FContext) != PA_CONTEXT_CONNECTING &&
                             pa_context_get_state(FContext) != PA_CONTEXT_AUTHORIZING &&
                             pa_context_get_state(FContext) != PA_CONTEXT_SETTING_NAME; }) &&
        pa_context_get_state(FContext) == PA_CONTEXT_READY) {
      struct TListing {
        std::vector<TSink>* Sinks;
        bool Done = false;
      } listing{&sinks};
      pa_operation* op = pa_context_get_sink_info_list(
          FContext,
          [](pa_context*, const pa_sink_info* info, int eol, void* data) {
            auto& l = *static_cast<TListing*>(data);
            if (eol != 0) l.Done = true;
            else if (info != nullptr)
              l.Sinks->push_back(
                  {info->name, info->description != nullptr ? info->description : info->name, info->channel_map});
          },
          &listing);
      if (op != nullptr) {
        if (!WaitFor([&] { return listing.Done || pa_operation_get_state(op) != PA_OPERATION_RUNNING; }))
          pa_operation_cancel(op);
        pa_operation_unref(op);
      }
    }
  }
  FSinks = sinks;
  std::vector<std::string> names;
  for (const TSink& sink : FSinks) names.push_back(sink.Description);
  return names;
}

std::optional<pa_channel_map> TPulseWaveOut::SinkMap(uint32_t device) {
  if (device != WAVE_MAPPER) {
    if (device >= FSinks.size()) DeviceNames();
    if (device >= FSinks.size()) return std::nullopt;
    return FSinks[device].Map;
  }
  TLock lock(FLoop);
  if (FContext == nullptr || pa_context_get_state(FContext) != PA_CONTEXT_READY) return std::nullopt;
  struct TQuery {
    std::optional<pa_channel_map> Map;
    bool Done = false;
  } query;
  pa_operation* op = pa_context_get_sink_info_by_name(
      FContext, "@DEFAULT_SINK@",
      [](pa_context*, const pa_sink_info* info, int eol, void* data) {
        auto& q = *static_cast<TQuery*>(data);
        if (eol != 0) q.Done = true;
        else if (info != nullptr) q.Map = info->channel_map;
      },
      &query);
  if (op == nullptr) return std::nullopt;
  if (!WaitFor([&] { return query.Done || pa_operation_get_state(op) != PA_OPERATION_RUNNING; }))
    pa_operation_cancel(op);
  pa_operation_unref(op);
  return query.Map;
}

std::vector<std::string> TPulseWaveOut::ChannelNames(uint32_t device) {
  std::vector<std::string> names;
  if (const auto map = SinkMap(device))
    for (uint8_t i = 0; i < map->channels; ++i) names.push_back(PositionName(map->map[i]));
  return names;
}

std::optional<pa_channel_map> TPulseWaveOut::StreamMap(const pa_channel_map& sinkMap, uint8_t channels,
                                                       TOutputChannels outputs) {
  if (sinkMap.channels < channels || (channels == 1 && outputs.Left == 0)) return std::nullopt;
  pa_channel_map map{};
  map.channels = channels;
  map.map[0] = sinkMap.map[outputs.LeftIndex(sinkMap.channels)];
  if (channels == 2) map.map[1] = sinkMap.map[outputs.RightIndex(sinkMap.channels)];
  if (channels == 2 && map.map[0] == map.map[1]) return std::nullopt;
  return map;
}

std::string TPulseWaveOut::CurrentSink() {
  TLock lock(FLoop);
  if (FStream == nullptr || pa_stream_get_state(FStream) != PA_STREAM_READY) return {};
  const char* name = pa_stream_get_device_name(FStream);
  return name != nullptr ? name : "";
}

TMMResult TPulseWaveOut::Open(TWaveHandle& handle, uint32_t device, const TWaveFormatEx& format,
                              uint32_t bufferBytes, TWaveOutTarget& target, TOutputChannels outputs) {
  if (device != WAVE_MAPPER && device >= FSinks.size()) DeviceNames();
  const std::optional<pa_channel_map> sinkMap = Playable(format) ? SinkMap(device) : std::nullopt;
  TLock lock(FLoop);
  if (FWanted) return MMSYSERR_ALLOCATED;
  if (device != WAVE_MAPPER && device >= FSinks.size()) return MMSYSERR_BADDEVICEID;
  if (!Playable(format)) return WAVERR_BADFORMAT;
  if (FContext == nullptr || Gone(pa_context_get_state(FContext))) {
    DropContext();
    if (!ConnectContext()) return ServerGone;
  }
  if (!WaitFor([&] { return pa_context_get_state(FContext) == PA_CONTEXT_READY; })) return ServerGone;
  FSinkName = device == WAVE_MAPPER ? std::string() : FSinks[device].Name;
  FSampleFormat = pa_sample_spec{SampleFormat(format.wBitsPerSample), format.nSamplesPerSec,
                         static_cast<uint8_t>(format.nChannels)};
  FStreamMap = sinkMap ? StreamMap(*sinkMap, FSampleFormat.channels, outputs) : std::nullopt;
  FBlockAlign = format.nBlockAlign;
  FBufferBytes = std::max<uint32_t>(bufferBytes - bufferBytes % FBlockAlign, FBlockAlign);
  FPaused.store(false);
  FDraining.store(false);
  FUnderrunCount.store(0);
  FUnderrunFrames.store(0);
  FGapSinceNs.store(0);
  FCurrent = TQueued{};
  FOffset = 0;
  FQueue.Outstanding.store(0);
  FWantsData.store(false);
  FFramesBefore = 0;
  FStreamLost = false;
  FLoss.Clear();
  if (!ConnectStream() || !WaitFor([&] { return pa_stream_get_state(FStream) != PA_STREAM_CREATING; }) ||
      pa_stream_get_state(FStream) != PA_STREAM_READY) {
    DropStream();
    return FSinkName.empty() ? ServerGone : MMSYSERR_BADDEVICEID;
  }
  FWanted = true;
  FTarget = &target;
  handle = ++FHandle;
  FNotes.PushOpen(target);
  FWake.Signal();
  return MMSYSERR_NOERROR;
}

TMMResult TPulseWaveOut::CheckHandle(TWaveHandle handle) const {
  return FWanted && handle == FHandle ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

TMMResult TPulseWaveOut::Prepare(TWaveHandle handle, TWaveHdr& header) {
  if (TMMResult result = CheckHandle(handle)) return result;
  header.dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

TMMResult TPulseWaveOut::Write(TWaveHandle handle, TWaveHdr& header) {
  // GUI thread at the start, the render thread after: no lock here.
  if (TMMResult result = CheckHandle(handle)) return result;
  if (TMMResult result = FQueue.Write(header, FBlockAlign)) return result;
  // The main loop's thread wakes only when it waits for data: otherwise the
  // server's next request takes the buffer (see AwaitWrite).
  std::atomic_thread_fence(std::memory_order_seq_cst);
  if (FWantsData.load(std::memory_order_relaxed) && FWantsData.exchange(false)) FPumpWake.Signal();
  return MMSYSERR_NOERROR;
}

TMMResult TPulseWaveOut::Pause(TWaveHandle handle) {
  TLock lock(FLoop);
  if (TMMResult result = CheckHandle(handle)) return result;
  FPaused.store(true);
  // A silence that was under way ends here: what follows is the pause.
  if (const int64_t gap = FGapSinceNs.exchange(0); gap != 0) FUnderrunFrames.fetch_add(FramesOf(SteadyNowNs() - gap));
  CorkReadyStream(true);
  return MMSYSERR_NOERROR;
}

TMMResult TPulseWaveOut::Restart(TWaveHandle handle) {
  TLock lock(FLoop);
  if (TMMResult result = CheckHandle(handle)) return result;
  FPaused.store(false);
  CorkReadyStream(false);
  return MMSYSERR_NOERROR;
}

void TPulseWaveOut::CorkReadyStream(bool cork) {
  if (FStream != nullptr && pa_stream_get_state(FStream) == PA_STREAM_READY)
    if (pa_operation* op = pa_stream_cork(FStream, cork ? 1 : 0, nullptr, nullptr)) pa_operation_unref(op);
}

TMMResult TPulseWaveOut::Reset(TWaveHandle handle) {
  TLock lock(FLoop);
  if (TMMResult result = CheckHandle(handle)) return result;
  FDraining.store(true);
  if (FStream != nullptr && pa_stream_get_state(FStream) == PA_STREAM_READY) {
    if (pa_operation* op = pa_stream_cork(FStream, 1, nullptr, nullptr)) pa_operation_unref(op);
    if (pa_operation* op = pa_stream_flush(FStream, nullptr, nullptr)) pa_operation_unref(op);
  }
  ReturnQueued();
  return MMSYSERR_NOERROR;
}

void TPulseWaveOut::ReturnQueued() {
  // The render thread has stopped and the main loop is held: both rings are ours.
  FQueue.ReturnAll(FCurrent);
  FOffset = 0;
}

TMMResult TPulseWaveOut::Unprepare(TWaveHandle handle, TWaveHdr& header) {
  if (TMMResult result = CheckHandle(handle)) return result;
  if (header.dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header.dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

TMMResult TPulseWaveOut::Close(TWaveHandle handle) {
  TLock lock(FLoop);
  if (TMMResult result = CheckHandle(handle)) return result;
  if (FQueue.Outstanding.load() > 0) return WAVERR_STILLPLAYING;
  FWanted = false;
  FStreamLost = false;
  DropStream();
  FLoss.Clear();
  if (FTarget != nullptr) FNotes.PushClose(*FTarget);
  FTarget = nullptr;
  FWake.Signal();
  return MMSYSERR_NOERROR;
}

TMMResult TPulseWaveOut::GetPosition(TWaveHandle handle, uint32_t& samples) {
  TLock lock(FLoop);
  if (TMMResult result = CheckHandle(handle)) return result;
  uint64_t frames = FFramesBefore;
  pa_usec_t played = 0;
  if (FStream != nullptr && pa_stream_get_state(FStream) == PA_STREAM_READY &&
      pa_stream_get_time(FStream, &played) >= 0)
    frames += played * FSampleFormat.rate / 1000000;
  samples = static_cast<uint32_t>(frames);
  return MMSYSERR_NOERROR;
}

TWaveHdr* TPulseWaveOut::TakeReturned(TWaveHandle handle) {
  return CheckHandle(handle) == MMSYSERR_NOERROR ? FQueue.TakeReturned() : nullptr;
}

TUnderruns TPulseWaveOut::Underruns(TWaveHandle handle) {
  if (CheckHandle(handle) != MMSYSERR_NOERROR) return {};
  TUnderruns gaps{FUnderrunCount.load(), FUnderrunFrames.load()};
  // A silence still under way counts with its length so far.
  const int64_t now = SteadyNowNs();
  if (const int64_t gap = FGapSinceNs.load(); gap != 0) gaps.Frames += FramesOf(now - gap);
  if (const int64_t lost = FLoss.LostSinceNs(); lost != 0) gaps.Frames += FramesOf(now - lost);
  return gaps;
}

void TPulseWaveOut::Drain(TWaveHandle handle, const std::atomic<bool>& stop) {
  // Render thread, every buffer given to the server: wait until it has played them.
  if (CheckHandle(handle) != MMSYSERR_NOERROR) return;
  FDraining.store(true);
  pa_operation* op = nullptr;
  {
    TLock lock(FLoop);
    if (FStream != nullptr && pa_stream_get_state(FStream) == PA_STREAM_READY)
      op = pa_stream_drain(FStream, nullptr, nullptr);
  }
  if (op == nullptr) return;
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  bool running = true;
  while (running && !stop.load() && std::chrono::steady_clock::now() < limit) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    TLock lock(FLoop);
    running = pa_operation_get_state(op) == PA_OPERATION_RUNNING;
  }
  TLock lock(FLoop);
  if (pa_operation_get_state(op) == PA_OPERATION_RUNNING) pa_operation_cancel(op);
  pa_operation_unref(op);
}

std::string TPulseWaveOut::ErrorText(TMMResult code) {
  if (auto text = CommonWaveErrorText(code)) return *text;
  if (code == ServerGone) return "The sound server does not answer.";
  return "Unspecified error in the sound device.";
}

void TPulseWaveOut::DropNotifications(TWaveOutTarget& target) {
  FNotes.Drop(target);
  if (FTarget == &target) FTarget = nullptr;
}
