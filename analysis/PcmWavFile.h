#pragma once
// Reads the samples of a 16- or 24-bit PCM WAV file with one or two channels,
// in blocks of whole frames: the format chunk (plain PCM or the extensible
// form with the PCM sub-format), then the data chunk, skipping other chunks.

#include <cstdint>
#include <fstream>
#include <string>

struct TPcmWavFormat {
  int32_t SampleRate = 0;
  int Channels = 0;        ///< 1 or 2, interleaved left first
  int BytesPerSample = 0;  ///< 2 or 3
  int64_t Frames = 0;      ///< as the data chunk states; a file cut short holds fewer

  int FrameBytes() const noexcept { return Channels * BytesPerSample; }
  /// The largest sample value: 32767 or 8388607.
  double FullScale() const noexcept { return BytesPerSample == 3 ? 8388607 : 32767; }
};

class TPcmWavReader {
public:
  /// Opens path and reads up to its samples; false, with the reason in
  /// error, when it cannot be read or is not such a file.
  bool Open(const std::string& path, std::string& error);
  const TPcmWavFormat& Format() const noexcept { return FFormat; }
  /// Reads up to maxFrames frames into data (maxFrames x FrameBytes bytes);
  /// returns the frames read, 0 at the end of the data or of a file cut short.
  int32_t Read(uint8_t* data, int32_t maxFrames);

private:
  bool FindData(std::string& error);

  std::ifstream FIn;
  TPcmWavFormat FFormat;
  int64_t FLeft = 0;  // frames of the data chunk not yet read
};
