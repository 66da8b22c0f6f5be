#include "engine/StatePublication.h"

#include <algorithm>
#include <iterator>

namespace {

void CopyFilterHistory(ChannelFilter& to, const ChannelFilter& from) noexcept {
  to.x = from.x;
  to.x1 = from.x1;
  to.x2 = from.x2;
  to.y = from.y;
  to.y1 = from.y1;
  to.y2 = from.y2;
}

// A running modulation sets its gain afresh at every sample; otherwise the
// window's gain holds (a switch resets it).
void TakeModulationGain(ChannelSettings& render, bool ranBefore, const ChannelSettings& published) noexcept {
  if (!(ranBefore && published.modulationOn)) render.modulationGain = published.modulationGain;
}

}  // namespace

void CopyRunningState(GeneratorState& to, const GeneratorState& from) noexcept {
  to.frameIndex = from.frameIndex;
  to.fillBusy = from.fillBusy;
  std::copy(std::begin(from.pinkRows), std::end(from.pinkRows), std::begin(to.pinkRows));
  to.random = from.random;
  to.modulationMemo = from.modulationMemo;
  to.left.modulationGain = from.left.modulationGain;
  to.right.modulationGain = from.right.modulationGain;
  CopyFilterHistory(to.filterL, from.filterL);
  CopyFilterHistory(to.filterR, from.filterR);
}

void ApplyPublishedState(GeneratorState& render, const GeneratorState& published, bool prepared) noexcept {
  if (prepared) {
    const TRandomLcg random = render.random;
    const float slowestRow = render.pinkRows[12];
    const TModulationMemo memo = render.modulationMemo;
    render = published;
    render.random = random;
    render.pinkRows[12] = slowestRow;
    render.modulationMemo = memo;
    return;
  }
  const GeneratorState running = render;
  render = published;
  CopyRunningState(render, running);
  TakeModulationGain(render.left, running.left.modulationOn, published.left);
  TakeModulationGain(render.right, running.right.modulationOn, published.right);
}

void TStateMailbox::Publish(const GeneratorState& state, bool prepared) noexcept {
  if (prepared) ++FPreparations;
  FSlots[FWriting] = {state, FPreparations};
  FWriting = FMiddle.exchange(FWriting | Fresh, std::memory_order_acq_rel) & ~Fresh;
}

const TStateMailbox::TSlot* TStateMailbox::Take() noexcept {
  if (!(FMiddle.load(std::memory_order_relaxed) & Fresh)) return nullptr;
  FReading = FMiddle.exchange(FReading, std::memory_order_acq_rel) & ~Fresh;
  return &FSlots[FReading];
}

bool TStateMailbox::ApplyTo(GeneratorState& render) noexcept {
  const TSlot* slot = Take();
  if (slot == nullptr) return false;
  ApplyPublishedState(render, slot->State, slot->Preparations != FTakenPreparations);
  FTakenPreparations = slot->Preparations;
  return true;
}

void TStateMailbox::Drop() noexcept {
  if (const TSlot* slot = Take()) FTakenPreparations = slot->Preparations;
}
