#pragma once

#include "engine/GeneratorState.h"
#include "engine/RenderBlock.h"

#include <cstdint>

enum class TChannel { Left, Right };

/// What the buffer fill tells the output component.
enum class TFillResult {
  Continue,          ///< more buffers wanted
  End,               ///< the signal has ended
  PerformanceIssue,  ///< a fill was entered while another had not finished
};

/// The next sample of channel `c`: modulation, noise of `noiseType` (any type
/// but white or pink gives 0), level, filter. Does not advance frameIndex.
int32_t RenderChannelSample(GeneratorState& state, TChannel c, int32_t noiseType) noexcept;

/// -1 for x < 0, else +1 (also for 0 and -0).
float sign(float x) noexcept;

/// (2/pi) arcsin(sin x) in 32-bit steps: 0 at 0, +1 at pi/2, -1 at 3 pi/2.
float triangle(float x) noexcept;

/// Fills `size` bytes with interleaved frames. Silence after the end of a
/// signal. End is reported by the first buffer that holds no frame of the
/// signal, and only once `ringBytes` (the output's buffer count x buffer
/// size) have been delivered, so every frame of the signal is played.
/// Never writes beyond `size`.
TFillResult FillBuffer(GeneratorState& state, uint8_t* buffer, int32_t size, int64_t ringBytes) noexcept;

/// The frame layout of a WAV export, fixed for one file.
struct TExportLayout {
  bool Stereo = true;
  int SampleBytes = 2;  ///< 2 or 3
};

/// Renders the next `frames` frames (frames x channels x SampleBytes bytes at
/// `out`) as the WAV export writes them: every frame is rendered, also past
/// the end of the signal and without looping; "= Left" does not apply; in
/// stereo the channel switches do. The samples are those of
/// RenderChannelSample frame by frame (left, then right), frameIndex advancing.
void RenderExportFrames(GeneratorState& state, const TExportLayout& layout, uint8_t* out,
                        int32_t frames) noexcept;

/// What the first half of a block of a two-thread stereo export does with
/// a channel besides its draws: nothing (the second half shapes, modulates
/// and levels it), or all of that. The first half runs on a copy of the
/// state; that copy holds the modulation gain the channel starts the block
/// with only where the first half levelled the channel in the block before
/// (GainKnown), not where the second half did (GainUnknown). Where the
/// gains would need an unknown gain, the second half levels the channel
/// after all (block.levelledAhead says which it did).
enum class TAhead { No, GainKnown, GainUnknown };
struct TChannelsAhead {
  TAhead left = TAhead::No, right = TAhead::No;
};
/// The first half levels the left and the right channel of a block ahead or
/// not, after it rendered `before` on the same copy of the state (nullptr
/// for the first block since the copy was made).
TChannelsAhead ChannelsAhead(bool left, bool right, const TRenderBlock* before) noexcept;

/// RenderExportFrames in two halves, one block of at most
/// TRenderBlock::Frames frames at a time, so that two threads can share a
/// pass. The first half (time index, draws; in mono the crest shaping; in
/// stereo the channels `ahead` names up to their filters) writes only
/// frameIndex, the random generator, the pink rows and the modulation gains
/// of the channels it levels; the second (the rest of the levels, the
/// modulation gains the block ends with, the filters, storage) only the
/// modulation gains, the filters, the clip counts and the output. So the
/// first half may run ahead on other blocks, on a copy of the state, while
/// the second finishes earlier ones in their order, as long as nothing else
/// changes the state meanwhile.
void RenderExportNoise(GeneratorState& state, const TExportLayout& layout, TRenderBlock& block, int32_t frames,
                       TChannelsAhead ahead = {}) noexcept;
/// Stores the block's frames at `out`; returns the end of what it wrote.
uint8_t* FinishExportBlock(GeneratorState& state, const TExportLayout& layout, TRenderBlock& block,
                           uint8_t* out) noexcept;

/// Takes over from `from` what RenderExportNoise changes in the state, for
/// a first half that ran on a copy of it.
void TakeNoiseState(GeneratorState& to, const GeneratorState& from) noexcept;

/// The store step changes `sample`: it lies beyond full scale `most`
/// (-most - 1 is still held; a sample exactly at full scale is no clip).
constexpr bool Saturates(int32_t sample, int32_t most) noexcept { return sample > most || sample < -most - 1; }

/// Stores `sample` as `bytes` (2 or 3) little-endian two's-complement bytes
/// at `out` and advances `out`. A sample beyond what the width holds is
/// stored as the nearest value it can hold (saturation, never wrap-around).
void StoreSample(uint8_t*& out, int32_t sample, int bytes) noexcept;
