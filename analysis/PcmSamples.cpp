#include "analysis/PcmSamples.h"

void ReadChannel(const uint8_t* data, int32_t frames, int channels, int bytes, int channel,
                 double fullScale, TLevelSums& sums, float* scaled) noexcept {
  const int stride = channels * bytes;
  const uint8_t* p = data + channel * bytes;
  const float scale = static_cast<float>(1.0 / fullScale);
  for (int32_t i = 0; i < frames; ++i, p += stride) {
    const int32_t s = PcmSample(p, bytes);
    sums.Add(s);
    if (scaled) scaled[i] = static_cast<float>(s) * scale;
  }
}
