#pragma once
// The base of the wave output component: PCM format, the ring of buffers,
// the counters and the two ways to stop.

#include "platform/WaveOutDevice.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

/// An event without arguments but its sender.
using TNotifyEvent = std::function<void(void* sender)>;

class TAudioIO {
public:
  TAudioIO();
  virtual ~TAudioIO() = default;
  TAudioIO(const TAudioIO&) = delete;
  TAudioIO& operator=(const TAudioIO&) = delete;

  /// Effective buffer size in bytes: the requested size rounded down to whole frames.
  int32_t BufferSize() const { return FBufferSize; }
  /// Requests v bytes per buffer (at least 512) and reallocates the buffers.
  /// Set the format and NumBuffers first.
  void SetBufferSize(int32_t v);
  /// Buffers in the ring, 2 to 4.
  int32_t NumBuffers() const { return FNumBuffers; }
  /// Clamps v to 2..4; the buffers are reallocated by SetBufferSize or at the next start.
  void SetNumBuffers(int32_t v);
  /// Frames per second.
  int32_t FrameRate() const { return static_cast<int32_t>(FWaveFmtEx.nSamplesPerSec); }
  void SetFrameRate(int32_t v);
  /// Two channels when true, one when false.
  bool Stereo() const { return FWaveFmtEx.nChannels == 2; }
  void SetStereo(bool v);
  /// Bits per sample, 8 to 24.
  uint16_t Quantization() const { return FWaveFmtEx.wBitsPerSample; }
  /// Clamps v to 8..24.
  void SetQuantization(uint16_t v);
  /// Device id; WAVE_MAPPER (-1) is the system's default output.
  uint32_t WaveDevice() const { return FWaveDevice; }
  void SetWaveDevice(uint32_t v) { FWaveDevice = v; }
  /// The device outputs the channels play on, from the next open.
  TOutputChannels OutputChannels() const { return FOutputs; }
  void SetOutputChannels(TOutputChannels v) { FOutputs = v; }
  /// Runs when the device reports the output open; sender is the receiver.
  void SetOnStart(TNotifyEvent e) { FonOpen = std::move(e); }
  /// Runs when the device reports the output closed; sender is the receiver.
  void SetOnStop(TNotifyEvent e) { FonClose = std::move(e); }
  const TNotifyEvent& OnStart() const { return FonOpen; }
  const TNotifyEvent& OnStop() const { return FonClose; }
  /// The PCM format handed to the device.
  const TWaveFormatEx& WaveFormat() const { return FWaveFmtEx; }

  /// Ends the output now, dropping the queued audio.
  virtual void StopAtOnce();
  /// Fills no further buffer; the queued audio plays to its end.
  virtual void StopGracefully();

  std::string ErrorMessage;   ///< text of the last failure; never cleared
  bool Active = false;        ///< filled buffers are still queued
  int32_t FilledBuffers = 0;  ///< successful fills since the last open
  int32_t QueuedBuffers = 0;  ///< FilledBuffers - ProcessedBuffers
  int32_t ProcessedBuffers = 0;  ///< buffers given back since the last open

protected:
  static constexpr int MaxBuffers = 4;

  /// Block align, bytes per second and the effective buffer size from the format.
  void RecalcFormat();
  /// Points the first NumBuffers headers at their buffers with the full size.
  void InitHeaders();
  /// NumBuffers buffers of BufferSize bytes; false (and ErrorMessage) when memory runs out.
  bool AllocBuffers();
  /// Frees every buffer; true when there was one.
  bool FreeBuffers();
  /// True when the buffers match the current size and count.
  bool BuffersFit() const;
  /// True while a device holds the buffers, so that they must not move.
  virtual bool BuffersInUse() const { return false; }

  TWaveHdr WaveHdr[MaxBuffers] = {};
  std::unique_ptr<uint8_t[]> WaveBuffer[MaxBuffers];
  int32_t BufIndex = 0;
  bool ContinueProcessing = false;
  bool FPaused = false;

private:
  int32_t FBufferSize = 0;
  int32_t FRequestedBufferSize = 8192;
  int32_t FNumBuffers = 4;
  int32_t FAllocatedSize = 0;   // size and count of the buffers in WaveBuffer
  int32_t FAllocatedCount = 0;
  TWaveFormatEx FWaveFmtEx;
  TNotifyEvent FonOpen;
  TNotifyEvent FonClose;
  uint32_t FWaveDevice = WAVE_MAPPER;
  TOutputChannels FOutputs;
};
