#pragma once
// The canonical 44-byte RIFF/WAVE PCM header and the length limit its 32-bit
// sizes set.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

/// The sample format of a WAV file.
struct TWavFormat {
  uint32_t SampleRate = 44100;    ///< frames per second
  uint16_t Channels = 2;          ///< 1 (mono) or 2 (stereo, interleaved left first)
  uint16_t BytesPerSample = 2;    ///< 2 (16-bit) or 3 (24-bit)

  uint32_t BytesPerFrame() const { return uint32_t{Channels} * BytesPerSample; }
};

inline constexpr size_t kWavHeaderSize = 44;

/// The header of a file holding frameCount frames; frameCount must not exceed
/// MaxWavFrames(format).
std::array<uint8_t, kWavHeaderSize> WavHeader(const TWavFormat& format, uint64_t frameCount);

/// The largest frame count whose sizes still fit the header's 32-bit fields.
uint64_t MaxWavFrames(const TWavFormat& format);

/// The message shown when a signal is too long for one WAV file; it names the
/// longest duration, in whole seconds, that the format allows.
std::string WavTooLongMessage(const TWavFormat& format);
