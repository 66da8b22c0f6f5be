#include "engine/Render.h"

#include "engine/BlockNoise.h"
#include "engine/FloatRounding.h"
#include "engine/Modulation.h"
#include "engine/NoiseSources.h"
#include "engine/SamplePacking.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <immintrin.h>
#include <limits>
#include <numbers>

float sign(float x) noexcept { return x < 0 ? -1.0f : 1.0f; }

float triangle(float x) noexcept {
  const float s = static_cast<float>(sinl(x));
  if (std::fabs(s) == 1) return s;
  const long double ratio = s / sqrtl(1 - static_cast<long double>(s) * s);
  return static_cast<float>(2 / std::numbers::pi_v<long double> * atanl(ratio));
}

namespace {

bool HasNoise(int32_t noiseType) noexcept { return noiseType == ntWhite || noiseType == ntPink; }

// The unshaped noise value of a channel at frame n (white: one draw; pink:
// row 0 and the rows due at n).
inline float RawNoise(GeneratorState& state, int32_t noiseType, int64_t n) noexcept {
  return noiseType == ntWhite ? RawWhiteNoise(state.random) : RawPinkNoise(state, n);
}

// Round(v x fullScale x amplitudeGain x modulationGain), the product in
// extended precision. The double product errs by at most 2^-52 relative;
// when that cannot change the rounded integer, it is the result.
inline double ScaleEstimate(float v, int32_t fullScale, float amplitudeGain, float modulationGain) noexcept {
  return static_cast<double>(v) * fullScale * amplitudeGain * modulationGain;
}

// An estimate below 2^30 errs by less than this from the extended product.
constexpr double ScaleBound = 0x1p-19;

// True when the estimate decides the rounded integer: it lies farther than
// ScaleBound from the nearest half. No branch, so that a run of samples
// can go side by side; DecidedSamples is the same check four at a time.
inline bool ScaleDecides(double estimate) noexcept {
  const double margin = 0.5 - std::fabs(estimate - NearestIntegerDouble(estimate));
  return (std::fabs(estimate) < 0x1p30) & (margin > ScaleBound);
}

inline int32_t ScaleExact(float v, int32_t fullScale, float amplitudeGain, float modulationGain) noexcept {
  return RoundToInt32(static_cast<long double>(v) * fullScale * amplitudeGain * modulationGain);
}

inline int32_t ScaleToSample(float v, int32_t fullScale, float amplitudeGain,
                             float modulationGain) noexcept {
  const double estimate = ScaleEstimate(v, fullScale, amplitudeGain, modulationGain);
  if (ScaleDecides(estimate)) return static_cast<int32_t>(NearestIntegerDouble(estimate));
  return ScaleExact(v, fullScale, amplitudeGain, modulationGain);
}

// The modulation gains of a run of values: one per value, or one for all
// (the channel's gain, where it does not follow a modulation).
struct TGains {
  const float* each;  // null: `all` for every value
  float all;
  float operator[](int32_t j) const noexcept { return each ? each[j] : all; }
  TGains From(int32_t j) const noexcept { return {each ? each + j : nullptr, all}; }
};

// ScaleToSample for a run of values: all estimates first, then the rare
// undecided ones by the definition.
void ScaleToSamplesPlain(const float* v, TGains gains, int32_t count, int32_t fullScale, float amplitudeGain,
                         int32_t* samples) noexcept {
  bool allDecided = true;
  for (int32_t j = 0; j < count; ++j) {
    const double estimate = ScaleEstimate(v[j], fullScale, amplitudeGain, gains[j]);
    const bool decided = ScaleDecides(estimate);
    allDecided &= decided;
    samples[j] = static_cast<int32_t>(decided ? NearestIntegerDouble(estimate) : 0);
  }
  if (allDecided) return;
  for (int32_t j = 0; j < count; ++j)
    if (!ScaleDecides(ScaleEstimate(v[j], fullScale, amplitudeGain, gains[j])))
      samples[j] = ScaleExact(v[j], fullScale, amplitudeGain, gains[j]);
}

// ScaleDecides and the rounded integers of four estimates.
__attribute__((target("avx2"))) inline __m256d DecidedSamples(__m256d estimate, __m128i& samples) noexcept {
  const __m256d nearest = _mm256_round_pd(estimate, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  const __m256d signBit = _mm256_set1_pd(-0.0);
  const __m256d margin = _mm256_sub_pd(_mm256_set1_pd(0.5), _mm256_andnot_pd(signBit, _mm256_sub_pd(estimate, nearest)));
  const __m256d decided = _mm256_and_pd(_mm256_cmp_pd(margin, _mm256_set1_pd(ScaleBound), _CMP_GT_OQ),
                                        _mm256_cmp_pd(_mm256_andnot_pd(signBit, estimate), _mm256_set1_pd(0x1p30), _CMP_LT_OQ));
  samples = _mm256_cvttpd_epi32(_mm256_and_pd(decided, nearest));
  return decided;
}

// Four estimates: value x full scale x level x gain in double, as
// ScaleEstimate; with one gain for all, level x gain (exact in double) is
// taken once, which rounds no more than ScaleEstimate does.
__attribute__((target("avx2"))) inline __m256d Estimates(const float* v, const float* gains, __m256d scale,
                                                        __m256d level) noexcept {
  const __m256d scaled = _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(v)), scale);
  if (!gains) return _mm256_mul_pd(scaled, level);
  return _mm256_mul_pd(_mm256_mul_pd(scaled, level), _mm256_cvtps_pd(_mm_loadu_ps(gains)));
}

__attribute__((target("avx2"))) void ScaleToSamplesAvx2(const float* v, TGains gains, int32_t count,
                                                       int32_t fullScale, float amplitudeGain,
                                                       int32_t* samples) noexcept {
  const __m256d scale = _mm256_set1_pd(fullScale);
  const __m256d level = _mm256_set1_pd(gains.each ? amplitudeGain : static_cast<double>(amplitudeGain) * gains.all);
  int32_t j = 0;
  // Eight a go: two independent chains.
  for (; j + 8 <= count; j += 8) {
    __m128i low, high;
    const __m256d first = Estimates(v + j, gains.From(j).each, scale, level);
    const __m256d second = Estimates(v + j + 4, gains.From(j + 4).each, scale, level);
    const int undecided =
        ~(_mm256_movemask_pd(DecidedSamples(first, low)) | _mm256_movemask_pd(DecidedSamples(second, high)) << 4) &
        255;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(samples + j), low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(samples + j + 4), high);
    for (int rest = undecided; rest != 0; rest &= rest - 1) {
      const int32_t i = j + __builtin_ctz(rest);
      samples[i] = ScaleExact(v[i], fullScale, amplitudeGain, gains[i]);
    }
  }
  ScaleToSamplesPlain(v + j, gains.From(j), count - j, fullScale, amplitudeGain, samples + j);
}

void ScaleToSamples(const float* v, TGains gains, int32_t count, int32_t fullScale, float amplitudeGain,
                    int32_t* samples) noexcept {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2)
    ScaleToSamplesAvx2(v, gains, count, fullScale, amplitudeGain, samples);
  else
    ScaleToSamplesPlain(v, gains, count, fullScale, amplitudeGain, samples);
}

// Level and filter: the sample from an already shaped noise value.
inline int32_t FinishSample(const GeneratorState& state, const ChannelSettings& channel,
                            float modulationGain, ChannelFilter& filter, bool hasNoise,
                            float shaped) noexcept {
  const int32_t x =
      hasNoise ? ScaleToSample(shaped, state.fullScale, channel.amplitudeGain, modulationGain) : 0;
  return IsFilterActive(channel.filterType) ? FilterStep(filter, x) : x;
}

}  // namespace

int32_t RenderChannelSample(GeneratorState& state, TChannel c, int32_t noiseType) noexcept {
  const bool isLeft = c == TChannel::Left;
  ChannelSettings& channel = isLeft ? state.left : state.right;
  if (ModulationRuns(channel))
    channel.modulationGain = ModulationGain(state, channel, state.frameIndex);
  const bool hasNoise = HasNoise(noiseType);
  const float shaped =
      hasNoise ? CrestShape(RawNoise(state, noiseType, state.frameIndex), channel.crestExponent) : 0;
  return FinishSample(state, channel, channel.modulationGain, isLeft ? state.filterL : state.filterR,
                      hasNoise, shaped);
}

void StoreSample(uint8_t*& out, int32_t sample, int bytes) noexcept {
  const int32_t most = bytes == 3 ? 8388607 : 32767;
  if (Saturates(sample, most)) sample = sample > most ? most : -most - 1;
  const uint32_t bits = static_cast<uint32_t>(sample);
  out[0] = static_cast<uint8_t>(bits);
  out[1] = static_cast<uint8_t>(bits >> 8);
  if (bytes == 3) out[2] = static_cast<uint8_t>(bits >> 16);
  out += bytes;
}

namespace {

// The fill renders in blocks of frames, one stage at a time (draws, shaping,
// modulation, level, filter, storage), so that the independent steps of
// neighbouring samples overlap in the processor. Nothing changes the
// settings during a fill, and each stage keeps the order of the per-sample
// path where order matters (draws, filter history, modulation gain), so the
// samples are those of RenderChannelSample frame by frame.
constexpr int32_t BlockFrames = TRenderBlock::Frames;

struct TFillLayout {
  int32_t noiseLeft, noiseRight;
  bool asLeft, loop, stereo, renderRight;
  int sampleBytes, frameBytes;
  bool silentAfterEnd;  // playback: frames past the end are silence; export: all are rendered
  // An export on two threads: the first half of a block shapes, modulates
  // and levels the channels it is asked to, the second half the others.
  bool channelsAhead = false;
};

// Stage 1: the time index of each frame; the state's index moves past the
// block as the per-sample loop moves it.
void PlanFrames(GeneratorState& state, const TFillLayout& layout, TRenderBlock& block, int32_t count) noexcept {
  block.count = count;
  block.levelledAhead[0] = block.levelledAhead[1] = false;
  const bool beforeEnd = state.frameIndex + count < state.totalFrames;
  if (beforeEnd || (!layout.loop && !layout.silentAfterEnd)) {  // no end and no wrap within the block
    for (int32_t j = 0; j < count; ++j) block.frame[j] = state.frameIndex + j;
    block.active = count;
    state.frameIndex += count;
    return;
  }
  block.active = 0;
  for (int32_t j = 0; j < count; ++j) {
    if (!layout.silentAfterEnd || layout.loop || state.frameIndex < state.totalFrames)
      block.active = j + 1;
    block.frame[j] = state.frameIndex;
    ++state.frameIndex;
    if (layout.loop && state.frameIndex == state.totalFrames) state.frameIndex = 0;
  }
}

// Stage 2: the random draws, left before right in every frame.
void DrawNoise(GeneratorState& state, const TFillLayout& layout, TRenderBlock& block) noexcept {
  TBlockNoise noise;
  noise.Make(state.random, state.pinkRows, block.frame, block.active, layout.noiseLeft,
             layout.renderRight ? layout.noiseRight : NoNoise, block.left, block.right);
}

// Stage 3: crest shaping of one channel, in place.
void Shape(const ChannelSettings& channel, int32_t noiseType, float* noise, int32_t count) noexcept {
  if (HasNoise(noiseType)) CrestShapeEach(noise, count, channel.crestExponent);
}

// The modulation gain a channel ends the block with, from the block's gains.
void KeepLastGain(ChannelSettings& channel, const float* gains, const TRenderBlock& block) noexcept {
  if (ModulationRuns(channel)) channel.modulationGain = gains[block.active - 1];
}

// Stage 4: each channel's modulation gain per frame; a channel whose gain
// does not follow its modulation keeps its current one (and the block's
// gains are not written).
void ModulateChannel(const GeneratorState& state, ChannelSettings& channel, const TRenderBlock& block,
                     float* gains) noexcept {
  if (!ModulationRuns(channel)) return;
  ModulationGains(channel, state.sampleRate, block.frame, block.active, gains);
  KeepLastGain(channel, gains, block);
}

void Modulate(GeneratorState& state, const TFillLayout& layout, TRenderBlock& block) noexcept {
  // Equal settings give equal gains from equal starting gains (a gain can stay as it is).
  const bool sameStart = state.left.modulationGain == state.right.modulationGain;
  ModulateChannel(state, state.left, block, block.gainLeft);
  if (!layout.renderRight) return;
  if (sameStart && ModulationRuns(state.left) && ModulationRuns(state.right) &&
      SameModulation(state.left, state.right)) {
    std::copy(block.gainLeft, block.gainLeft + block.active, block.gainRight);
    state.right.modulationGain = state.left.modulationGain;
  } else {
    ModulateChannel(state, state.right, block, block.gainRight);
  }
}

// Stage 5: the level of one channel.
void Level(const GeneratorState& state, const ChannelSettings& channel, int32_t noiseType, const float* noise,
           const float* gains, int32_t count, int32_t* samples) noexcept {
  if (HasNoise(noiseType))
    ScaleToSamples(noise, {ModulationRuns(channel) ? gains : nullptr, channel.modulationGain}, count,
                   state.fullScale, channel.amplitudeGain, samples);
  else
    std::fill(samples, samples + count, 0);
}

// Stage 6: the filters. Each channel's recursion runs in one call, its
// history held in registers.
void Filter(GeneratorState& state, const TFillLayout& layout, TRenderBlock& block) noexcept {
  if (IsFilterActive(state.left.filterType))
    FilterSamples(state.filterL, block.sampleLeft, block.active);
  if (layout.renderRight && IsFilterActive(state.right.filterType))
    FilterSamples(state.filterR, block.sampleRight, block.active);
}

// Stage 7: storage, with the channel switches in stereo and silence after
// the end.
uint8_t* StoreBlock(GeneratorState& state, const TFillLayout& layout, const TRenderBlock& block,
                    uint8_t* out) noexcept {
  static constexpr int32_t silent[BlockFrames] = {};
  const int32_t* left = !layout.stereo || state.left.channelOn != 0 ? block.sampleLeft : silent;
  const int32_t* right = !layout.stereo ? nullptr
                         : layout.asLeft ? left
                         : state.right.channelOn != 0 ? block.sampleRight
                                                      : silent;
  out = PackSamples(left, right, block.active, layout.sampleBytes, out, state.clipped);
  const size_t silence = static_cast<size_t>(block.count - block.active) * layout.frameBytes;
  std::memset(out, 0, silence);
  return out + silence;
}

// Crest shaping, modulation and level of one channel of a block. With
// `gainKnown` false the state does not hold the gain the channel starts the
// block with: where the block's gains would need it (a gain that stays as
// it is), nothing is shaped or levelled and false is returned.
bool ShapeAndLevel(GeneratorState& state, const TFillLayout& layout, TRenderBlock& block, TChannel c,
                   bool gainKnown = true) noexcept {
  const bool isLeft = c == TChannel::Left;
  ChannelSettings& channel = isLeft ? state.left : state.right;
  float* gains = isLeft ? block.gainLeft : block.gainRight;
  const bool modulates = ModulationRuns(channel);
  if (!gainKnown && modulates) channel.modulationGain = std::numeric_limits<float>::quiet_NaN();
  ModulateChannel(state, channel, block, gains);
  if (!gainKnown && modulates && std::any_of(gains, gains + block.active, [](float g) { return g != g; }))
    return false;
  const int32_t noiseType = isLeft ? layout.noiseLeft : layout.noiseRight;
  float* noise = isLeft ? block.left : block.right;
  Shape(channel, noiseType, noise, block.active);
  Level(state, channel, noiseType, noise, gains, block.active, isLeft ? block.sampleLeft : block.sampleRight);
  return true;
}

// The first half's part of a channel of a block; true where it was done.
bool LevelAhead(GeneratorState& state, const TFillLayout& layout, TRenderBlock& block, TChannel c,
                TAhead ahead) noexcept {
  return ahead != TAhead::No && ShapeAndLevel(state, layout, block, c, ahead == TAhead::GainKnown);
}

// The first half of a block: the time index and the noise, shaped; in a
// two-thread export, the samples up to the filter of the channels asked for.
void RenderNoise(GeneratorState& state, const TFillLayout& layout, TRenderBlock& block, int32_t count,
                 TChannelsAhead ahead) noexcept {
  PlanFrames(state, layout, block, count);
  if (block.active == 0) return;
  DrawNoise(state, layout, block);
  if (layout.channelsAhead) {
    block.levelledAhead[0] = LevelAhead(state, layout, block, TChannel::Left, ahead.left);
    block.levelledAhead[1] = LevelAhead(state, layout, block, TChannel::Right, ahead.right);
    return;
  }
  Shape(state.left, layout.noiseLeft, block.left, block.active);
  if (layout.renderRight) Shape(state.right, layout.noiseRight, block.right, block.active);
}

// The second half: the rest of the samples, the filters and the storage;
// returns the end of what it wrote.
uint8_t* FinishBlock(GeneratorState& state, const TFillLayout& layout, TRenderBlock& block,
                     uint8_t* out) noexcept {
  if (block.active > 0) {
    if (layout.channelsAhead) {
      if (block.levelledAhead[0]) KeepLastGain(state.left, block.gainLeft, block);
      else ShapeAndLevel(state, layout, block, TChannel::Left);
      if (block.levelledAhead[1]) KeepLastGain(state.right, block.gainRight, block);
      else ShapeAndLevel(state, layout, block, TChannel::Right);
    } else {
      Modulate(state, layout, block);
      Level(state, state.left, layout.noiseLeft, block.left, block.gainLeft, block.active, block.sampleLeft);
      if (layout.renderRight)
        Level(state, state.right, layout.noiseRight, block.right, block.gainRight, block.active,
              block.sampleRight);
    }
    Filter(state, layout, block);
  }
  return StoreBlock(state, layout, block, out);
}

// Renders `frames` frames into out block by block; returns the end of what it wrote.
uint8_t* RenderBlocks(GeneratorState& state, const TFillLayout& layout, uint8_t* out,
                      int32_t frames) noexcept {
  TRenderBlock block;
  for (; frames > 0; frames -= block.count) {
    RenderNoise(state, layout, block, frames < BlockFrames ? frames : BlockFrames, {});
    out = FinishBlock(state, layout, block, out);
  }
  return out;
}

// `twoThreads`: the halves of each block run on two threads.
TFillLayout ExportFillLayout(const GeneratorState& state, const TExportLayout& layout, bool twoThreads) noexcept {
  const int sampleBytes = layout.SampleBytes == 3 ? 3 : 2;
  return {state.left.noiseType, state.right.noiseType, false, false, layout.Stereo,
          layout.Stereo, sampleBytes, layout.Stereo ? 2 * sampleBytes : sampleBytes, false,
          twoThreads && layout.Stereo};
}

}  // namespace

TFillResult FillBuffer(GeneratorState& state, uint8_t* buffer, int32_t size, int64_t ringBytes) noexcept {
  TFillLayout layout{state.left.noiseType, state.right.noiseType, state.asLeft, state.loop,
                     state.channels == cmStereo, false, 0, 0, true};
  if (state.fillBusy) {
    state.fillBusy = false;
    return TFillResult::PerformanceIssue;
  }
  state.fillBusy = true;
  const bool holdsSignal = state.frameIndex < state.totalFrames;

  layout.sampleBytes = state.bitsPerSample == 24 ? 3 : 2;
  layout.frameBytes = layout.stereo ? 2 * layout.sampleBytes : layout.sampleBytes;
  layout.renderRight = layout.stereo && !layout.asLeft;
  const int32_t frames = size > 0 ? size / layout.frameBytes : 0;
  uint8_t* out = RenderBlocks(state, layout, buffer, frames);
  std::memset(out, 0, static_cast<size_t>(buffer + (size > 0 ? size : 0) - out));

  // The buffer that carries the last frames of the signal is still played;
  // the end is reported by the first buffer after it that holds only
  // silence, once the whole ring's worth of bytes has been delivered.
  TFillResult result = TFillResult::Continue;
  if (!holdsSignal && !state.loop &&
      ringBytes <= static_cast<int64_t>(state.frameIndex) * state.bytesPerFrame)
    result = TFillResult::End;
  state.fillBusy = false;
  return result;
}

void RenderExportFrames(GeneratorState& state, const TExportLayout& layout, uint8_t* out,
                        int32_t frames) noexcept {
  RenderBlocks(state, ExportFillLayout(state, layout, false), out, frames);
}

void RenderExportNoise(GeneratorState& state, const TExportLayout& layout, TRenderBlock& block, int32_t frames,
                       TChannelsAhead ahead) noexcept {
  RenderNoise(state, ExportFillLayout(state, layout, true), block, frames, ahead);
}

uint8_t* FinishExportBlock(GeneratorState& state, const TExportLayout& layout, TRenderBlock& block,
                           uint8_t* out) noexcept {
  return FinishBlock(state, ExportFillLayout(state, layout, true), block, out);
}

TChannelsAhead ChannelsAhead(bool left, bool right, const TRenderBlock* before) noexcept {
  const auto ahead = [before](bool levels, int channel) {
    if (!levels) return TAhead::No;
    return before == nullptr || before->levelledAhead[channel] ? TAhead::GainKnown : TAhead::GainUnknown;
  };
  return {ahead(left, 0), ahead(right, 1)};
}

void TakeNoiseState(GeneratorState& to, const GeneratorState& from) noexcept {
  to.frameIndex = from.frameIndex;
  to.random = from.random;
  std::copy(from.pinkRows, from.pinkRows + 13, to.pinkRows);
}
