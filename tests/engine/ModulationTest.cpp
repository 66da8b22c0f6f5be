#include "engine/Modulation.h"
#include "engine/RenderBlock.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

namespace {

struct TModulationCase {
  int32_t sampleRate;
  float period, phase, depth;
  int64_t start;
};

// The gains of the definition, each becoming the channel's gain in turn.
std::vector<float> DefinedGains(ChannelSettings channel, int32_t sampleRate, const std::vector<int64_t>& frames) {
  std::vector<float> gains;
  for (int64_t frame : frames) {
    channel.modulationGain = ModulationGainAt(frame, sampleRate, channel);
    gains.push_back(channel.modulationGain);
  }
  return gains;
}

TEST(ModulationGains, AreTheGainsOfTheDefinitionBitForBit) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  // Runs over sign changes of the square (half a period at 22050 and 44100
  // frames), far into the signal, with tiny and huge periods, and depths
  // outside 0..1; one after another, so the kept rotation constants change.
  const TModulationCase cases[] = {
      {44100, 1.0f, 0.0f, 1.0f, 22000},       {44100, 1.0f, 0.0f, 0.5f, 44000},
      {192000, 0.37f, 1.3f, 0.37f, 0},        {8000, 3600.0f, -2.0f, 1.5f, 1000},
      {44100, 1e-3f, 1000.0f, -0.2f, 7},      {44100, 1e-30f, 0.5f, 1.0f, 3},
      {48000, 2.5f, 0.25f, nan, int64_t{1} << 40}, {44100, 1.0f, 0.0f, 1.0f, 44050},
      {8000, 1e-40f, 0.0f, 1.0f, 1000},  // a triangular angle beyond the float range: the gain stays
  };
  for (int32_t function : {mfSine, mfCosine, mfSquare, mfTriangular})
    for (const TModulationCase& setting : cases) {
      ChannelSettings channel;
      channel.modulationOn = true;
      channel.modulationFunction = function;
      channel.modulationPeriod = setting.period;
      channel.modulationPhase = setting.phase;
      channel.modulationDepth = setting.depth;
      channel.modulationGain = 0.75f;
      // 203 consecutive frames: several runs of 64 and a tail of three.
      std::vector<int64_t> frames(203);
      std::iota(frames.begin(), frames.end(), setting.start);
      // And the frames of a looping signal that wraps to its start.
      const std::vector<int64_t> wrapping = {setting.start + 5, setting.start + 6, 0, 1, 2, setting.start};
      for (const std::vector<int64_t>& run : {frames, wrapping}) {
        std::vector<float> gains(run.size());
        ModulationGains(channel, setting.sampleRate, run.data(), static_cast<int32_t>(run.size()), gains.data());
        const std::vector<float> expected = DefinedGains(channel, setting.sampleRate, run);
        for (size_t j = 0; j < run.size(); ++j)
          ASSERT_EQ(std::bit_cast<uint32_t>(gains[j]), std::bit_cast<uint32_t>(expected[j]))
              << "function " << function << " period " << setting.period << " frame " << run[j];
      }
    }
}

TEST(ModulationGains, StayTheGainsOfTheDefinitionBlockAfterBlock) {
  // The fill's blocks, 70 in a row (each starts from the one before), then
  // a jump, the same block twice, and blocks of another channel's settings
  // in between.
  constexpr int64_t block = TRenderBlock::Frames;
  std::vector<int64_t> starts;
  for (int64_t b = 0; b < 70; ++b) starts.push_back(44100 * 59 + block * b);
  for (int64_t start : {int64_t{1000}, 1000 + block, 1000 + block, 1000 + 2 * block, int64_t{-1}, 1000 + 3 * block})
    starts.push_back(start);
  for (int32_t function : {mfSine, mfCosine, mfSquare}) {
    ChannelSettings channel, other;
    channel.modulationOn = other.modulationOn = true;
    channel.modulationFunction = other.modulationFunction = function;
    channel.modulationPeriod = 1.0f;
    channel.modulationPhase = 0.3f;
    other.modulationPeriod = 0.25f;
    for (int64_t start : starts) {
      ChannelSettings& settings = start < 0 ? other : channel;
      std::vector<int64_t> frames(block);
      std::iota(frames.begin(), frames.end(), start < 0 ? 500 : start);
      std::vector<float> gains(frames.size());
      ModulationGains(settings, 44100, frames.data(), static_cast<int32_t>(block), gains.data());
      const std::vector<float> expected = DefinedGains(settings, 44100, frames);
      for (size_t j = 0; j < frames.size(); ++j)
        ASSERT_EQ(std::bit_cast<uint32_t>(gains[j]), std::bit_cast<uint32_t>(expected[j]))
            << "function " << function << " frame " << frames[j];
    }
  }
}

}  // namespace
