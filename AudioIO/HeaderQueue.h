#pragma once
// The buffers a wave-out back-end holds between its owner's Write and their
// return: the written ones on their way to the thread that plays them, the
// played ones on their way back. Write runs on the GUI thread at the start
// and on the render thread after; the playing thread pops Submitted and
// pushes Finished. Neither side locks or allocates.

#include "AudioIO/SpscRing.h"
#include "platform/WaveOutDevice.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

class THeaderQueue {
public:
  static constexpr size_t RingSize = 64;
  struct TQueued {
    TWaveHdr* Header = nullptr;
    uint32_t Bytes = 0;  ///< whole frames of the header's data
  };

  /// Writer: queues a prepared header, its length cut to whole frames of
  /// blockAlign bytes. Every written buffer must fit the ring of finished ones too.
  TMMResult Write(TWaveHdr& header, uint16_t blockAlign) noexcept {
    if (!(header.dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (Outstanding.load() >= static_cast<int>(RingSize)) return MMSYSERR_NOMEM;
    header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    ++Outstanding;
    Submitted.Push({&header, header.dwBufferLength - header.dwBufferLength % blockAlign});
    return MMSYSERR_NOERROR;
  }

  /// Render thread: the oldest played header, marked done; null when none.
  TWaveHdr* TakeReturned() noexcept {
    TWaveHdr* header = nullptr;
    if (!Finished.Pop(header)) return nullptr;
    MarkDone(*header);
    return header;
  }

  /// Once the playing thread is stopped and the render thread takes nothing:
  /// gives back every header, the one under way (current) included.
  void ReturnAll(TQueued& current) noexcept {
    TWaveHdr* header;
    while (Finished.Pop(header)) MarkDone(*header);
    if (current.Header != nullptr) MarkDone(*current.Header);
    current = TQueued{};
    TQueued queued;
    while (Submitted.Pop(queued)) MarkDone(*queued.Header);
  }

  void MarkDone(TWaveHdr& header) noexcept {
    header.dwFlags = (header.dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    --Outstanding;
  }

  TSpscRing<TQueued, RingSize> Submitted;   ///< writer -> playing thread
  TSpscRing<TWaveHdr*, RingSize> Finished;  ///< playing thread -> render thread
  std::atomic<int> Outstanding{0};          ///< written and not yet taken back
};
