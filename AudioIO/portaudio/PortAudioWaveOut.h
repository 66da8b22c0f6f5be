#pragma once
// The wave-out device on PortAudio. The device thread (PortAudio's callback)
// plays the written buffers in order from a lock-free ring and puts each
// finished one on a second ring; an eventfd wakes the GUI loop, whose Dispatch
// turns them into notifications. The callback allocates nothing, takes no
// lock and touches nothing but the two rings, a few atomics and its output.

#include "AudioIO/portaudio/SpscRing.h"
#include "platform/WaveNotes.h"
#include "platform/WaveOutDevice.h"

#include <portaudio.h>

#include <atomic>
#include <deque>

class TPortAudioWaveOut final : public TWaveOutDevice {
public:
  /// The call that starts an opened stream: PortAudio's own, except in tests
  /// that need a stream that fails to start.
  using TStreamStarter = PaError (*)(PaStream* stream);

  /// Starts PortAudio and lists its output devices.
  explicit TPortAudioWaveOut(TStreamStarter startStream = &Pa_StartStream);
  /// Aborts a stream still open and stops PortAudio.
  ~TPortAudioWaveOut() override;
  TPortAudioWaveOut(const TPortAudioWaveOut&) = delete;
  TPortAudioWaveOut& operator=(const TPortAudioWaveOut&) = delete;

  /// Readable while the device thread has given buffers back.
  int WakeDescriptor() const override { return FWakeFd; }
  void Dispatch() override;

  std::vector<std::string> DeviceNames() override;
  TMMResult Open(TWaveHandle& handle, uint32_t device, const TWaveFormatEx& format,
                 TWaveOutTarget& target) override;
  TMMResult Prepare(TWaveHandle handle, TWaveHdr& header) override;
  TMMResult Write(TWaveHandle handle, TWaveHdr& header) override;
  TMMResult Pause(TWaveHandle handle) override;
  TMMResult Restart(TWaveHandle handle) override;
  TMMResult Reset(TWaveHandle handle) override;
  TMMResult Unprepare(TWaveHandle handle, TWaveHdr& header) override;
  TMMResult Close(TWaveHandle handle) override;
  TMMResult GetPosition(TWaveHandle handle, uint32_t& samples) override;
  std::string ErrorText(TMMResult code) override;
  void DropNotifications(TWaveOutTarget& target) override;

private:
  static constexpr size_t RingSize = 64;
  struct TQueued {
    TWaveHdr* Header = nullptr;
    uint32_t Bytes = 0;  // whole frames of the header's data
  };

  static int StreamCallback(const void* input, void* output, unsigned long frames,
                            const PaStreamCallbackTimeInfo* timeInfo, PaStreamCallbackFlags statusFlags,
                            void* self) noexcept;
  /// Device thread: the next frames of output from the queued buffers, silence where there are none.
  void Render(uint8_t* output, size_t frames) noexcept;
  TMMResult CheckHandle(TWaveHandle handle) const;
  TMMResult StartStream();
  TMMResult StopStream();
  /// GUI thread, stream not started: a failed write leaves nothing queued and nothing owed.
  void TakeBackUnplayed(TWaveHdr& header);
  /// GUI thread: moves the buffers the device thread finished into the notifications.
  void CollectFinished();
  /// GUI thread, stream stopped: gives back every buffer still queued.
  void ReturnQueued();
  void Wake() noexcept;
  static TMMResult FromPaError(PaError error);

  TStreamStarter FStartStream;
  int FWakeFd = -1;
  PaError FInitError = paNoError;
  std::vector<PaDeviceIndex> FOutputDevices;  // PortAudio indexes, in device-id order
  PaStream* FStream = nullptr;
  bool FStreamRunning = false;
  TWaveHandle FHandle = 0;
  TWaveOutTarget* FTarget = nullptr;
  int FOutstanding = 0;  // written and not yet collected
  uint16_t FBlockAlign = 1;
  uint8_t FSilence = 0;
  TWaveNotes FNotes;

  // Shared with the device thread.
  TSpscRing<TQueued, RingSize> FSubmitted;  // GUI -> device
  TSpscRing<TWaveHdr*, RingSize> FFinished;  // device -> GUI
  std::atomic<bool> FPaused{false};
  std::atomic<uint64_t> FFramesPlayed{0};
  // Device thread only while the stream runs; the GUI thread resets them while it is stopped.
  TQueued FCurrent;
  uint32_t FOffset = 0;
};
