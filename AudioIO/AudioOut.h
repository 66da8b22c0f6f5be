#pragma once
// The wave output component: streams the buffers its owner fills to a wave
// output device, refilling each one as the device gives it back. Every call
// and every event runs on the GUI thread; the device's notifications arrive
// through the message loop.

#include "AudioIO/AudioIO.h"
#include "AudioIO/CallBackWinOut.h"
#include "platform/MessageLoop.h"
#include "platform/WaveOutDevice.h"

#include <memory>
#include <vector>

/// Writes audio into buffer; size is the capacity in bytes on entry and the
/// bytes to play on return. True when the buffer is to be played.
using TBufferEvent = std::function<bool(uint8_t* buffer, int32_t& size)>;

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
  /// Called for every buffer to fill, also from the completion of a returned buffer.
  void SetOnFillBuffer(TBufferEvent e) { FOnFillBuffer = std::move(e); }
  const TBufferEvent& OnFillBuffer() const { return FOnFillBuffer; }

  /// Opens the device, fills and queues every buffer. TS is the owner's
  /// variable that holds this component; notifications reach it through TS.
  /// False with ErrorMessage set when the output did not start.
  bool Start(TAudioOut*& TS);
  void StopAtOnce() override;
  void StopGracefully() override;
  /// Seconds played in this run; 0 when not active or the device cannot tell.
  double ElapsedTime();

  TWaveHandle WaveHandle = 0;

protected:
  /// Calls the fill event for buffer index; true when it filled the buffer.
  virtual bool FillWaveBuffer(int32_t index, int32_t size);
  /// Ends the run; the device closes once every written buffer is back.
  virtual void CloseDevice();
  virtual bool OpenDevice(TAudioOut*& TS);
  bool BuffersInUse() const override { return WaveDeviceOpen; }

private:
  friend class TCallBackWinOut;

  bool WriteBuffer();
  bool QueueAllBuffers();
  /// The completion step for the buffer the device gave back to receiver.
  void BufferDone(TCallBackWinOut& receiver, TWaveHdr& header);
  void FinishClose();
  bool BuffersOut() const;
  void ReleaseClosedReceivers();
  std::string WaveErrorText(TMMResult code);

  TWaveOutDevice& FDevice;
  TMessageLoop& FLoop;
  bool WaveDeviceOpen = false;
  bool FClosePending = false;              // close waits for buffers still out
  bool FWithDevice[MaxBuffers] = {};       // written and not yet given back
  int32_t FCycleBuffers = 0;               // buffer count and size fixed at open
  int32_t FCycleSize = 0;
  TCallBackWinOut* CallBackWin = nullptr;  // receiver of the current (last) open
  std::vector<std::unique_ptr<TCallBackWinOut>> FReceivers;
  TBufferEvent FOnFillBuffer;
};
