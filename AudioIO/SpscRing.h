#pragma once
// A fixed ring for one producer thread and one consumer thread. Neither side
// locks or allocates; each index is written by its own side only, and the
// release/acquire pair hands the slot's contents over with the index.

#include <array>
#include <atomic>
#include <cstddef>

template <typename T, size_t Capacity>
class TSpscRing {
  static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "capacity must be a power of two");

public:
  /// Producer: appends item; false when the ring is full.
  bool Push(const T& item) noexcept {
    size_t tail = FTail.load(std::memory_order_relaxed);
    if (tail - FHead.load(std::memory_order_acquire) == Capacity) return false;
    FItems[tail & (Capacity - 1)] = item;
    FTail.store(tail + 1, std::memory_order_release);
    return true;
  }
  /// Consumer: takes the oldest item; false when the ring is empty.
  bool Pop(T& item) noexcept {
    size_t head = FHead.load(std::memory_order_relaxed);
    if (head == FTail.load(std::memory_order_acquire)) return false;
    item = FItems[head & (Capacity - 1)];
    FHead.store(head + 1, std::memory_order_release);
    return true;
  }

private:
  std::array<T, Capacity> FItems{};
  alignas(64) std::atomic<size_t> FHead{0};  // written by the consumer only
  alignas(64) std::atomic<size_t> FTail{0};  // written by the producer only
};
