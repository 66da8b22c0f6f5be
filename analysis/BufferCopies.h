#pragma once
// Copies of the buffers an output renders, kept for the GUI thread until the
// device has played them. One producer (the fill, on the render thread) and
// one consumer (the GUI thread); neither locks or allocates. A consumer that
// lags a whole store behind loses the newest copies, never the producer's time.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

/// What the fill knew of a buffer beside its bytes: the change of the
/// settings it was rendered with (a number that rises at each change) and
/// the samples the store step saturated, per channel.
struct TBufferMarks {
  uint64_t Change = 0;
  int64_t Clipped[2] = {};
};

class TBufferCopies {
public:
  /// No producer running: room for `slots` buffers of at most `bytes` each; nothing kept.
  void Reset(int32_t slots, int32_t bytes);
  /// Producer: keeps a copy of buffer number `sequence` (0 first, rising by one).
  void Keep(const uint8_t* data, int32_t bytes, int64_t sequence, const TBufferMarks& marks = {}) noexcept;
  /// Consumer: the copy of buffer `sequence`, its length and marks, or null when it was not kept.
  const uint8_t* Find(int64_t sequence, int32_t& bytes, TBufferMarks& marks) const noexcept;
  /// Consumer: the buffers before `sequence` are no longer needed.
  void Release(int64_t sequence) noexcept { FReleased.store(sequence, std::memory_order_release); }
  /// The newest sequence kept, -1 before the first.
  int64_t Newest() const noexcept { return FNewest.load(std::memory_order_acquire); }

private:
  int32_t FSlots = 0;
  int32_t FSlotBytes = 0;
  std::vector<uint8_t> FData;
  std::vector<int32_t> FBytes;                        // written before the slot's tag
  std::vector<TBufferMarks> FMarks;                   // so are these
  std::unique_ptr<std::atomic<int64_t>[]> FTags;      // the sequence a slot holds, -1 none
  std::atomic<int64_t> FReleased{0};
  std::atomic<int64_t> FNewest{-1};
};
