#include "analysis/BufferCopies.h"

#include <algorithm>
#include <cstring>

void TBufferCopies::Reset(int32_t slots, int32_t bytes) {
  FSlots = std::max(slots, 1);
  FSlotBytes = std::max(bytes, 0);
  FData.assign(static_cast<size_t>(FSlots) * static_cast<size_t>(FSlotBytes), 0);
  FBytes.assign(static_cast<size_t>(FSlots), 0);
  FMarks.assign(static_cast<size_t>(FSlots), TBufferMarks{});
  FTags = std::make_unique<std::atomic<int64_t>[]>(static_cast<size_t>(FSlots));
  for (int32_t i = 0; i < FSlots; ++i) FTags[i].store(-1, std::memory_order_relaxed);
  FReleased.store(0);
  FNewest.store(-1);
}

void TBufferCopies::Keep(const uint8_t* data, int32_t bytes, int64_t sequence, const TBufferMarks& marks) noexcept {
  if (FSlots == 0 || sequence < 0) return;
  // The slot still holds a buffer the consumer has not released.
  if (sequence - FReleased.load(std::memory_order_acquire) >= FSlots) return;
  const auto slot = static_cast<size_t>(sequence % FSlots);
  const int32_t kept = std::clamp(bytes, 0, FSlotBytes);
  std::memcpy(FData.data() + slot * static_cast<size_t>(FSlotBytes), data, static_cast<size_t>(kept));
  FBytes[slot] = kept;
  FMarks[slot] = marks;
  FTags[slot].store(sequence, std::memory_order_release);
  FNewest.store(sequence, std::memory_order_release);
}

const uint8_t* TBufferCopies::Find(int64_t sequence, int32_t& bytes, TBufferMarks& marks) const noexcept {
  if (FSlots == 0 || sequence < 0) return nullptr;
  const auto slot = static_cast<size_t>(sequence % FSlots);
  if (FTags[slot].load(std::memory_order_acquire) != sequence) return nullptr;
  bytes = FBytes[slot];
  marks = FMarks[slot];
  return FData.data() + slot * static_cast<size_t>(FSlotBytes);
}
