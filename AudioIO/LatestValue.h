#pragma once
// A small value that one thread keeps up to date and another reads: the
// writer never waits, the reader gets a consistent copy of the newest value
// (a sequence lock over relaxed atomic words, so no access is a data race).

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <type_traits>

template <typename T>
class TLatestValue {
  static_assert(std::is_trivially_copyable_v<T>, "the value travels as raw words");
  static constexpr size_t Words = (sizeof(T) + sizeof(uint64_t) - 1) / sizeof(uint64_t);

public:
  /// Writer thread only.
  void Store(const T& value) noexcept {
    uint64_t words[Words] = {};
    std::memcpy(words, &value, sizeof(T));
    const uint32_t sequence = FSequence.load(std::memory_order_relaxed);
    FSequence.store(sequence + 1, std::memory_order_relaxed);  // odd: a write is under way
    std::atomic_thread_fence(std::memory_order_release);
    for (size_t i = 0; i < Words; ++i) FWords[i].store(words[i], std::memory_order_relaxed);
    FSequence.store(sequence + 2, std::memory_order_release);
  }

  /// Any other thread: the newest value stored (T{} before the first).
  T Load() const noexcept {
    uint64_t words[Words];
    for (;;) {
      const uint32_t before = FSequence.load(std::memory_order_acquire);
      for (size_t i = 0; i < Words; ++i) words[i] = FWords[i].load(std::memory_order_relaxed);
      std::atomic_thread_fence(std::memory_order_acquire);
      if (before % 2 == 0 && FSequence.load(std::memory_order_relaxed) == before) break;
    }
    T value;
    std::memcpy(&value, words, sizeof(T));
    return value;
  }

private:
  std::atomic<uint32_t> FSequence{0};
  std::array<std::atomic<uint64_t>, Words> FWords{};
};
