#include "playback/RenderFeed.h"

#include "analysis/SignalAnalysis.h"
#include "engine/Render.h"

void TRenderFeed::Start(const GeneratorState& state, int64_t ringBytes) noexcept {
  FSource = TSource::Signal;
  FMailbox.Drop();  // nothing older than state may arrive later
  FState = state;
  FRingBytes = ringBytes;
  FFills = 0;
  FChange = 0;
  FHandedBack = false;
  FPerformanceIssue.store(false);
}

void TRenderFeed::StartReference(int32_t rate, int channels, int bytesPerSample, uint32_t channelMask) noexcept {
  FSource = TSource::Reference;
  FReference.Start(rate);
  FReferenceChannels = channels;
  FReferenceBytes = bytesPerSample;
  FReferenceMask = channelMask;
  FFills = 0;
  FPerformanceIssue.store(false);
}

bool TRenderFeed::Fill(uint8_t* buffer, int32_t& size) noexcept {
  if (FSource == TSource::Reference) return FillReference(buffer, size);
  if (FMailbox.ApplyTo(FState)) ++FChange;
  TBufferMarks marks{FChange, {FState.clipped[0], FState.clipped[1]}};
  switch (FillBuffer(FState, buffer, size, FRingBytes)) {
    case TFillResult::Continue:
      for (int c = 0; c < 2; ++c) marks.Clipped[c] = FState.clipped[c] - marks.Clipped[c];
      FAnalysis.BufferFilled(buffer, size, FFills++, marks);
      return true;
    case TFillResult::End:
      return false;
    case TFillResult::PerformanceIssue:
      break;
  }
  FPerformanceIssue.store(true);
  return false;
}

bool TRenderFeed::FillReference(uint8_t* buffer, int32_t& size) noexcept {
  const int32_t frames = size / (FReferenceChannels * FReferenceBytes);
  RenderReferenceFrames(FReference, buffer, frames, FReferenceChannels, FReferenceBytes, FReferenceMask);
  size = frames * FReferenceChannels * FReferenceBytes;
  FAnalysis.BufferFilled(buffer, size, FFills++);
  return true;
}

void TRenderFeed::HandBack(GeneratorState& state) noexcept {
  if (FHandedBack) return;
  CopyRunningState(state, FState);
  FHandedBack = true;
}
