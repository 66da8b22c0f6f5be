#pragma once
// An ALSA output device that a test process defines for itself: a file PCM
// over the null PCM, so that whatever is played lands in a file and no sound
// card is needed. The null PCM takes data as fast as it comes, so a device
// thread feeding it runs ahead of real time and plays silence whenever its
// queue is empty; compare captures after dropping silent frames.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

class TWaveOutDevice;

class TAlsaCaptureDevice {
public:
  /// The PCM name the device lists under.
  static constexpr const char* PcmName = "zephyra_capture";
  /// Two more (silent) devices whose names differ only after their 32nd character.
  static constexpr const char* LongNames[2] = {"Measurement_Interface_Analog_Output_1",
                                               "Measurement_Interface_Analog_Output_2"};

  /// Writes the configuration (once per process, in a folder removed at exit)
  /// and points ALSA_CONFIG_PATH at it. Create before the audio library starts.
  TAlsaCaptureDevice();

  /// The capture device's id in device's list, if listed.
  std::optional<uint32_t> FindIn(TWaveOutDevice& device) const;
  /// Every byte captured so far.
  std::vector<uint8_t> Captured() const;
  /// The captured bytes without the frames made only of silence bytes.
  std::vector<uint8_t> Audible(size_t frameBytes, uint8_t silence) const;
  /// Forgets what was captured.
  void Clear() const;

private:
  std::filesystem::path FFile;
};

/// bytes without the whole frames of frameBytes that consist only of silence; a partial last frame is dropped.
std::vector<uint8_t> DropSilentFrames(const std::vector<uint8_t>& bytes, size_t frameBytes, uint8_t silence);
