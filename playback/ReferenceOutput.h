#pragma once
// What the reference noise window uses of the main window: its output (the
// device, rate and format the user chose) and the ways to start and stop the
// reference noise on it.

#include <cstdint>
#include <string>
#include <vector>

class TReferenceOutput {
public:
  virtual ~TReferenceOutput() = default;
  /// The sample rate of the output settings.
  virtual int32_t OutputRate() const = 0;
  /// The device list's text.
  virtual std::string DeviceText() const = 0;
  /// A wave output device existed at start-up.
  virtual bool HasDevice() const = 0;
  /// Stops what the output plays (the generator's signal or the reference),
  /// then plays the reference noise at rate on the channels of channelMask
  /// (bit 0 left, bit 1 right) and silence on the other. False when the
  /// output did not start; the failure has been shown.
  virtual bool PlayReference(int32_t rate, uint32_t channelMask) = 0;
  /// The outputs of the output's device, by name where it names them.
  virtual std::vector<std::string> OutputNames() = 0;
  /// As PlayReference, with the noise alone on the device's output (1 the first).
  virtual bool PlayReferenceOn(int32_t rate, uint16_t output) = 0;
  /// Milliseconds of the program's clock, for the time each output plays.
  virtual uint32_t TickCount() = 0;
  /// Stops the output if it plays the reference noise.
  virtual void StopReference() = 0;
  /// The output plays the reference noise.
  virtual bool ReferencePlaying() const = 0;
  /// Gaps the device played since the start of the output.
  virtual int64_t Dropouts() const = 0;
};
