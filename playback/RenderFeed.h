#pragma once
// What a generator window's output renders from. The window keeps the
// settings in its own state and publishes it here after every change; the
// fill renders from a state of its own, on the output's render thread, and
// takes the newest publication at each buffer. When a run is over, the
// window takes back what rendering moved on (random generator, time index,
// histories), so that a later run or export goes on from there.
// A run may instead play the reference noise, chosen at its start; the
// window's state then neither reaches it nor comes back from it.

#include "engine/ReferenceNoise.h"
#include "engine/StatePublication.h"

#include <atomic>
#include <cstdint>

class TSignalAnalysis;

class TRenderFeed {
public:
  /// analysis receives a copy of each filled buffer; it must outlive the feed.
  explicit TRenderFeed(TSignalAnalysis& analysis) : FAnalysis(analysis) {}

  /// GUI thread, no run rendering: the next run starts from state; ringBytes
  /// (buffer count x buffer size) is the fill's end rule.
  void Start(const GeneratorState& state, int64_t ringBytes) noexcept;
  /// GUI thread, no run rendering: the next run plays the reference noise at
  /// rate, in the given frame layout, on the channels of channelMask (bit 0
  /// left); the other channels are silent. Computes the noise's warm-up.
  void StartReference(int32_t rate, int channels, int bytesPerSample, uint32_t channelMask) noexcept;
  /// The last run started plays the reference noise.
  bool PlaysReference() const noexcept { return FSource == TSource::Reference; }
  /// GUI thread: the window's state after a change; prepared after a preparation.
  void Publish(const GeneratorState& state, bool prepared) noexcept { FMailbox.Publish(state, prepared); }
  /// Fill thread: the output's fill event.
  bool Fill(uint8_t* buffer, int32_t& size) noexcept;
  /// GUI thread, no run rendering: once per run, copies what the run moved on into state.
  void HandBack(GeneratorState& state) noexcept;
  /// GUI thread: a fill found the previous one unfinished, since the last call.
  bool TakePerformanceIssue() noexcept { return FPerformanceIssue.exchange(false); }
  /// The state the fill renders from; only while no run renders, or from the fill.
  GeneratorState& RenderState() noexcept { return FState; }

private:
  enum class TSource { Signal, Reference };
  bool FillReference(uint8_t* buffer, int32_t& size) noexcept;

  TSignalAnalysis& FAnalysis;
  TSource FSource = TSource::Signal;
  TReferenceNoise FReference;
  int FReferenceChannels = 1;
  int FReferenceBytes = 2;
  uint32_t FReferenceMask = 1;
  TStateMailbox FMailbox;
  GeneratorState FState;
  int64_t FRingBytes = 0;
  int64_t FFills = 0;           // buffers filled in this run
  uint64_t FChange = 0;         // publications taken in this run
  bool FHandedBack = true;
  std::atomic<bool> FPerformanceIssue{false};
};
