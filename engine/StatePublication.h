#pragma once
// How the window's generator state reaches the output's render thread. The
// window owns the settings; the render thread owns a state of its own that
// rendering moves on (time index, filter histories, pink rows, random
// generator). The window publishes its whole state after each change; the
// render thread takes the newest publication at a buffer boundary. Neither
// side locks or waits: three slots change hands through one atomic index.

#include "engine/GeneratorState.h"

#include <atomic>
#include <cstdint>
#include <type_traits>

static_assert(std::is_trivially_copyable_v<GeneratorState>, "a state is published by plain copies");

/// Copies what rendering moves on (time index, busy flag, pink rows, random
/// generator, modulation gains and their memo, filter histories) from `from`
/// into `to`; the settings and filter designs of `to` stay as they are.
void CopyRunningState(GeneratorState& to, const GeneratorState& from) noexcept;

/// Takes a published window state into the render state. A state prepared
/// again restarts the signal as the preparation left it, but the random
/// generator and the slowest pink row run on, as they do when the window
/// itself prepares. Otherwise only the settings change; a modulation gain
/// comes with them where the modulation does not run on in both.
void ApplyPublishedState(GeneratorState& render, const GeneratorState& published, bool prepared) noexcept;

class TStateMailbox {
public:
  /// Window thread: the state as it now stands; `prepared` when it was prepared again.
  void Publish(const GeneratorState& state, bool prepared) noexcept;
  /// Render thread: applies the newest publication not yet taken to `render`.
  /// False when nothing new was published.
  bool ApplyTo(GeneratorState& render) noexcept;
  /// Render side: forgets a publication not yet taken.
  void Drop() noexcept;

private:
  struct TSlot {
    GeneratorState State;
    uint64_t Preparations = 0;  // how often the window had prepared when it published
  };
  static constexpr uint32_t Fresh = 4;  // flag beside the slot index: not yet taken

  /// Render side: the newest publication not yet taken, or null.
  const TSlot* Take() noexcept;

  TSlot FSlots[3];
  std::atomic<uint32_t> FMiddle{1};  // the slot between the two sides, with the Fresh flag
  uint32_t FWriting = 0;             // window side only
  uint64_t FPreparations = 0;        // window side only
  uint32_t FReading = 2;             // render side only
  uint64_t FTakenPreparations = 0;   // render side only
};
