#pragma once
// The frames of a WAV export, rendered on two threads: a render thread of
// its own runs the first half of each block (RenderExportNoise: draws, and
// in stereo the right channel up to its filter) ahead, while the calling
// thread finishes the blocks in order (the left channel's shaping and
// level, filters, storage). The render thread takes both channels' shaping
// and level while the calling thread falls behind, and leaves them both to
// it while it waits. Each call renders all its frames before it returns,
// and between calls the render thread waits without touching the state, so
// the caller may change the state between calls as between frames. The frames are those of RenderExportFrames,
// which renders a call instead whenever that is faster (TThreadChoice).

#include "engine/Render.h"
#include "export/ThreadChoice.h"

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

class TExportRenderer {
public:
  /// Renders at most maxFrames frames a call. On a single processor, or when
  /// no thread can be started, the calling thread renders alone; otherwise
  /// each call goes the way TThreadChoice chooses.
  TExportRenderer(GeneratorState& state, const TExportLayout& layout, int32_t maxFrames);
  /// Ends the render thread and waits for it.
  ~TExportRenderer();
  TExportRenderer(const TExportRenderer&) = delete;
  TExportRenderer& operator=(const TExportRenderer&) = delete;

  /// The next `frames` frames (at most maxFrames) at `out`.
  void Render(uint8_t* out, int32_t frames) noexcept;

private:
  void RenderTogether(uint8_t* out, int32_t frames) noexcept;
  void Run() noexcept;
  void RenderNoise(int32_t frames) noexcept;
  TChannelsAhead Share(int32_t block, int32_t blocks) const noexcept;

  GeneratorState& FState;
  const TExportLayout FLayout;
  std::vector<TRenderBlock> FBlocks;
  TThreadChoice FChoice;
  // Written by the calling thread before FCall moves on, read by the render thread after.
  int32_t FFrames = 0;
  bool FStopping = false;
  std::atomic<uint32_t> FCall{0};  // counts the calls; each one wakes the render thread
  std::atomic<int32_t> FReady{0};  // blocks of this call whose first half is done
  // Blocks of this call the calling thread has finished; on a cache line of
  // its own, as the calling thread writes it after every block.
  alignas(64) std::atomic<int32_t> FFinished{0};
  std::thread FThread;
};
