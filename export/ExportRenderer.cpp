#include "export/ExportRenderer.h"

#include <algorithm>
#include <chrono>
#include <exception>

namespace {

constexpr int32_t kBlockFrames = TRenderBlock::Frames;
// The other thread usually answers within tens of microseconds; falling
// asleep and waking for each answer would cost about as much as the work.
constexpr auto kSpinTime = std::chrono::microseconds(100);
// The render thread takes on more of a block while the calling thread has
// this many blocks or more still to finish behind it: at the end of a call
// the render thread waits for those.
constexpr int32_t kHelpBehind = 4;

int32_t BlocksFor(int32_t frames) noexcept { return (frames + kBlockFrames - 1) / kBlockFrames; }

void Pause() noexcept {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

/// Waits until `value` is no longer `old` and returns it: on the processor
/// for a short while, then asleep.
template <class T>
T AwaitChange(const std::atomic<T>& value, T old) noexcept {
  const auto spinUntil = std::chrono::steady_clock::now() + kSpinTime;
  for (uint32_t spin = 1;; ++spin) {
    const T now = value.load(std::memory_order_acquire);
    if (now != old) return now;
    Pause();
    if (spin % 64 == 0 && std::chrono::steady_clock::now() > spinUntil) break;
  }
  value.wait(old, std::memory_order_acquire);
  return value.load(std::memory_order_acquire);
}

}  // namespace

TExportRenderer::TExportRenderer(GeneratorState& state, const TExportLayout& layout, int32_t maxFrames)
    : FState(state), FLayout(layout) {
  if (std::thread::hardware_concurrency() < 2) return;
  try {
    FBlocks.resize(static_cast<size_t>(BlocksFor(maxFrames)));
    FThread = std::thread([this] { Run(); });
  } catch (const std::exception&) {
    FBlocks.clear();  // no memory or no thread: the calling thread renders alone
  }
}

TExportRenderer::~TExportRenderer() {
  if (!FThread.joinable()) return;
  FStopping = true;
  FCall.fetch_add(1, std::memory_order_release);
  FCall.notify_one();
  FThread.join();
}

void TExportRenderer::Render(uint8_t* out, int32_t frames) noexcept {
  if (frames <= 0) return;
  const bool together = FThread.joinable() && FChoice.TwoThreads();
  const auto start = std::chrono::steady_clock::now();
  if (together)
    RenderTogether(out, frames);
  else
    RenderExportFrames(FState, FLayout, out, frames);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  FChoice.Took(together, frames, took.count());
}

void TExportRenderer::RenderTogether(uint8_t* out, int32_t frames) noexcept {
  FReady.store(0, std::memory_order_relaxed);
  FFinished.store(0, std::memory_order_relaxed);
  FFrames = frames;
  FCall.fetch_add(1, std::memory_order_release);
  FCall.notify_one();
  int32_t ready = 0;
  for (int32_t b = 0, blocks = BlocksFor(frames); b < blocks; ++b) {
    while (ready <= b) ready = AwaitChange(FReady, ready);
    out = FinishExportBlock(FState, FLayout, FBlocks[b], out);
    FFinished.store(b + 1, std::memory_order_relaxed);
  }
}

void TExportRenderer::Run() noexcept {
  for (uint32_t call = 0;;) {
    call = AwaitChange(FCall, call);
    if (FStopping) return;
    RenderNoise(FFrames);
  }
}

void TExportRenderer::RenderNoise(int32_t frames) noexcept {
  // A copy of its own, so that the two threads write no cache line that the
  // other reads; the state is the caller's alone until the first hand-over.
  GeneratorState noise = FState;
  const int32_t blocks = BlocksFor(frames);
  for (int32_t b = 0; b < blocks; ++b) {
    RenderExportNoise(noise, FLayout, FBlocks[b], std::min(frames - b * kBlockFrames, kBlockFrames),
                      Share(b, blocks));
    if (b + 1 == blocks) TakeNoiseState(FState, noise);
    FReady.store(b + 1, std::memory_order_release);
    FReady.notify_one();
  }
}

// This thread levels the right channel of a block, as the calling thread
// levels the left. It levels both while the calling thread is far behind,
// or would still be finishing blocks after this thread is done with the
// call; and neither while the calling thread is on its last block.
TChannelsAhead TExportRenderer::Share(int32_t block, int32_t blocks) const noexcept {
  // Blocks handed over that the calling thread has not finished.
  const int32_t behind = block - FFinished.load(std::memory_order_relaxed);
  if (block > 0 && behind <= 1) return {};
  const bool both = behind >= kHelpBehind || blocks - block <= behind;
  return ChannelsAhead(both, true, block > 0 ? &FBlocks[static_cast<size_t>(block) - 1] : nullptr);
}
