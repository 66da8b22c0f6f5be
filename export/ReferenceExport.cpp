#include "export/ReferenceExport.h"

#include "engine/ReferenceNoise.h"
#include "export/WavFileWriter.h"

#include <algorithm>
#include <vector>

bool WriteReferenceWav(const std::string& path, const TWavFormat& format, int64_t frames) {
  TWavFileWriter writer(path, format, static_cast<uint64_t>(std::max<int64_t>(frames, 0)));
  TReferenceNoise noise(static_cast<int32_t>(format.SampleRate));
  constexpr int32_t BlockFrames = 8192;
  std::vector<uint8_t> block(static_cast<size_t>(BlockFrames) * format.BytesPerFrame());
  const uint32_t everyChannel = (1u << format.Channels) - 1;
  for (int64_t done = 0; done < frames;) {
    const auto count = static_cast<int32_t>(std::min<int64_t>(BlockFrames, frames - done));
    RenderReferenceFrames(noise, block.data(), count, format.Channels, format.BytesPerSample, everyChannel);
    if (!writer.WriteBytes({block.data(), static_cast<size_t>(count) * format.BytesPerFrame()})) break;
    done += count;
  }
  return writer.Close();
}
