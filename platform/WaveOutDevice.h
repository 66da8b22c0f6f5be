#pragma once
// The wave-out calls of the output component. A device plays PCM buffers in
// the order they are written and gives each back once played. Its opening
// and closing reach a notification target on the GUI thread: the device is a
// message source of the GUI loop, and Dispatch delivers them in device order.
// Played buffers go to the output's render thread instead, which polls
// ReturnDescriptor and takes them with TakeReturned, so that the refill never
// waits for the GUI thread.

#include "platform/MessageLoop.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

/// Result of a wave-out call: 0 on success, otherwise a code for ErrorText.
using TMMResult = uint32_t;
/// An open output stream of a device.
using TWaveHandle = uintptr_t;

constexpr TMMResult MMSYSERR_NOERROR = 0;
constexpr TMMResult MMSYSERR_ERROR = 1;
constexpr TMMResult MMSYSERR_BADDEVICEID = 2;
constexpr TMMResult MMSYSERR_ALLOCATED = 4;
constexpr TMMResult MMSYSERR_INVALHANDLE = 5;
constexpr TMMResult MMSYSERR_NOMEM = 7;
constexpr TMMResult WAVERR_BADFORMAT = 32;
constexpr TMMResult WAVERR_STILLPLAYING = 33;
constexpr TMMResult WAVERR_UNPREPARED = 34;

/// The device id of the system's default output ("-1" to callers).
constexpr uint32_t WAVE_MAPPER = 0xFFFFFFFF;
/// Silence a device played while it had no buffer to play and was not paused.
struct TUnderruns {
  uint64_t Count = 0;   ///< separate gaps
  uint64_t Frames = 0;  ///< their total length
};

constexpr uint16_t WAVE_FORMAT_PCM = 1;

/// The PCM format handed to the device.
struct TWaveFormatEx {
  uint16_t wFormatTag = WAVE_FORMAT_PCM;
  uint16_t nChannels = 1;        ///< 1 or 2
  uint32_t nSamplesPerSec = 0;   ///< frames per second
  uint32_t nAvgBytesPerSec = 0;  ///< nSamplesPerSec * nBlockAlign
  uint16_t nBlockAlign = 0;      ///< bytes per frame
  uint16_t wBitsPerSample = 16;  ///< 8 (unsigned), 16 or 24 (signed, little-endian, packed)
  uint16_t cbSize = 0;
};

constexpr uint32_t WHDR_DONE = 0x01;      ///< the device has given the buffer back
constexpr uint32_t WHDR_PREPARED = 0x02;  ///< prepared for writing
constexpr uint32_t WHDR_INQUEUE = 0x10;   ///< written and not yet given back

/// One buffer as the device sees it. The memory at lpData stays where it is
/// and untouched by its owner from the write until the device gives it back.
struct TWaveHdr {
  uint8_t* lpData = nullptr;
  uint32_t dwBufferLength = 0;  ///< bytes to play
  uint32_t dwBytesRecorded = 0;
  uintptr_t dwUser = 0;
  uint32_t dwFlags = 0;
  uint32_t dwLoops = 0;
  TWaveHdr* lpNext = nullptr;
  uintptr_t reserved = 0;
};

/// The device outputs a stream's two channels play on: 1-based channel
/// numbers of the device, 0 for the default (Left on the first, Right on the
/// second). A mono stream uses Left only; its default is the device's own
/// spread of one channel.
struct TOutputChannels {
  uint16_t Left = 0;
  uint16_t Right = 0;
  bool Default() const { return Left == 0 && Right == 0; }
  /// The 0-based device channels for a device of count channels; a number
  /// beyond the device (or 0) takes its default.
  uint16_t LeftIndex(size_t count) const { return Left >= 1 && Left <= count ? Left - 1 : 0; }
  uint16_t RightIndex(size_t count) const {
    if (Right >= 1 && Right <= count) return Right - 1;
    return count > 1 ? 1 : 0;
  }
};

/// Receives a device's notifications, always on the GUI thread.
class TWaveOutTarget {
public:
  virtual ~TWaveOutTarget() = default;
  /// The stream opened by Open is ready.
  virtual void WomOpen() = 0;
  /// The stream is closed; nothing more comes for it.
  virtual void WomClose() = 0;
  /// The device went away while the stream was open (unplugged, its server
  /// gone, its stream killed or stalled). The stream stays open: the device
  /// tries to reach the same device again and keeps the queued buffers.
  virtual void WomLost() {}
  /// The device plays again after WomLost, from where it stopped.
  virtual void WomBack() {}
};

/// A wave output device. Calls come from the GUI thread, except Write,
/// TakeReturned and Drain, which the output's render thread makes while it
/// keeps the ring filled; the GUI thread then makes neither, and calls Reset, Unprepare
/// and Close only once that thread has stopped. Pause, Restart, GetPosition
/// and Underruns may come at any time. Register the device with the GUI loop
/// (AddSource) so that its notifications arrive.
class TWaveOutDevice : public TMessageSource {
public:
  /// Output device names, whole, in device-id order.
  virtual std::vector<std::string> DeviceNames() = 0;
  /// The output channels of device (an index of DeviceNames, or
  /// WAVE_MAPPER) in device order, by name where the device has a channel
  /// map, else numbered; empty when the device cannot tell.
  virtual std::vector<std::string> ChannelNames(uint32_t /*device*/) { return {}; }
  /// Buffers the owner keeps written at once: a device that can size its own
  /// latency to them does so at the next Open.
  virtual void SetRingLength(uint32_t /*buffers*/) {}
  /// True when the device tells a lost stream itself (WomLost, WomBack) and
  /// counts the time lost in Underruns. Otherwise the output watches it: a
  /// device that gives back no buffer for four buffer times (a second at
  /// least) while playing (not paused, not draining) is lost until it gives one back again.
  virtual bool ReportsLoss() const { return false; }
  /// Opens device (an index of DeviceNames, or WAVE_MAPPER) with format, for
  /// buffers of bufferBytes (the device keeps at least one of them in its own
  /// latency); target receives the stream's notifications, WomOpen first. An
  /// id outside the list gives MMSYSERR_BADDEVICEID, an unplayable format
  /// WAVERR_BADFORMAT. The stream's channels play on outputs; the device's
  /// other channels stay silent.
  virtual TMMResult Open(TWaveHandle& handle, uint32_t device, const TWaveFormatEx& format, uint32_t bufferBytes,
                         TWaveOutTarget& target, TOutputChannels outputs) = 0;
  /// Marks header as ready for Write.
  virtual TMMResult Prepare(TWaveHandle handle, TWaveHdr& header) = 0;
  /// Queues a prepared header behind those already written.
  virtual TMMResult Write(TWaveHandle handle, TWaveHdr& header) = 0;
  /// Halts playback; queued buffers stay queued.
  virtual TMMResult Pause(TWaveHandle handle) = 0;
  /// Resumes playback where Pause halted it.
  virtual TMMResult Restart(TWaveHandle handle) = 0;
  /// Stops playback and gives back every queued buffer at once, also those
  /// played and not yet taken; TakeReturned hands none of them out (the run
  /// they belonged to is over). The position returns to 0.
  virtual TMMResult Reset(TWaveHandle handle) = 0;
  /// Clears the prepared mark; fails with WAVERR_STILLPLAYING while the header is queued.
  virtual TMMResult Unprepare(TWaveHandle handle, TWaveHdr& header) = 0;
  /// Closes the stream; WomClose follows. Fails with WAVERR_STILLPLAYING while buffers are queued.
  virtual TMMResult Close(TWaveHandle handle) = 0;
  /// Frames played since the open or the last Reset.
  virtual TMMResult GetPosition(TWaveHandle handle, uint32_t& samples) = 0;
  /// Render thread: the oldest played buffer not yet taken, marked done; null when none.
  virtual TWaveHdr* TakeReturned(TWaveHandle handle) = 0;
  /// Readable after the device has given buffers back (an eventfd): the
  /// render thread polls it, reads it empty, then takes until null.
  virtual int ReturnDescriptor() const = 0;
  /// The gaps the device played since the open because no buffer was queued.
  virtual TUnderruns Underruns(TWaveHandle handle) = 0;
  /// Render thread, once every written buffer has come back: returns when
  /// the device has also played what it holds of them in its own buffer
  /// (a buffer comes back when the device has taken it, not when it is
  /// heard), or soon after stop is set, which cuts it short.
  virtual void Drain(TWaveHandle handle, const std::atomic<bool>& stop) = 0;
  /// A readable text for a result code.
  virtual std::string ErrorText(TMMResult code) = 0;
  /// Forgets every notification still pending for target; the device never
  /// calls it again. For a target that is about to be destroyed.
  virtual void DropNotifications(TWaveOutTarget& target) = 0;
};
