#pragma once

#include "engine/GeneratorState.h"
#include "engine/Render.h"

#include <cstddef>
#include <cstdint>
#include <vector>

/// Reads `count` stored samples of `bytes` bytes each back into integers.
inline std::vector<int32_t> DecodeSamples(const uint8_t* data, size_t count, int bytes) {
  std::vector<int32_t> out(count);
  for (size_t i = 0; i < count; ++i, data += bytes) {
    uint32_t v = data[0] | (data[1] << 8) | (bytes == 3 ? data[2] << 16 : 0);
    const int shift = 32 - 8 * bytes;
    out[i] = static_cast<int32_t>(v << shift) >> shift;
  }
  return out;
}

/// The whole prepared signal of state in one fill, at the full scale of its width.
inline std::vector<uint8_t> WholeSignal(GeneratorState& state) {
  state.fullScale = FullScaleFor(state.bitsPerSample);
  std::vector<uint8_t> bytes(static_cast<size_t>(state.totalFrames * state.bytesPerFrame));
  FillBuffer(state, bytes.data(), static_cast<int32_t>(bytes.size()), static_cast<int64_t>(bytes.size()));
  return bytes;
}

/// Fills `frames` frames through FillBuffer (in buffers of `framesPerBuffer`)
/// and returns the decoded samples.
inline std::vector<int32_t> FillFrames(GeneratorState& state, int64_t frames,
                                       int32_t framesPerBuffer = 1000) {
  const int bytes = state.bitsPerSample == 24 ? 3 : 2;
  const int channels = state.channels == cmStereo ? 2 : 1;
  std::vector<int32_t> out;
  std::vector<uint8_t> buffer(static_cast<size_t>(framesPerBuffer) * bytes * channels);
  for (int64_t done = 0; done < frames; done += framesPerBuffer) {
    FillBuffer(state, buffer.data(), static_cast<int32_t>(buffer.size()), 0);
    auto samples = DecodeSamples(buffer.data(), buffer.size() / bytes, bytes);
    out.insert(out.end(), samples.begin(), samples.end());
  }
  out.resize(static_cast<size_t>(frames * channels));
  return out;
}

/// What a reference sample looks like once stored at `bytes` bytes: held
/// within the width's range.
inline int32_t AsStored(int32_t sample, int bytes) {
  const int32_t most = bytes == 3 ? 8388607 : 32767;
  return sample > most ? most : sample < -most - 1 ? -most - 1 : sample;
}
