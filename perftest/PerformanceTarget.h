#pragma once
// What the performance test uses of the main window: the test preset file,
// the sample-rate list of the output settings, the memories, the timed
// export and the playback.

#include <cstdint>
#include <string>

class TPerformanceTarget {
public:
  virtual ~TPerformanceTarget() = default;
  /// Where "Compatibility Test.kav" is looked for; empty when nowhere.
  virtual std::string CompatibilityFile() const = 0;
  /// Loads a preset file into the memories; false when it is no preset file.
  /// Throws TFileError when it cannot be read.
  virtual bool LoadSettings(const std::string& fileName) = 0;
  /// The selected entry of the sample-rate list.
  virtual int32_t RateEntry() const = 0;
  /// Selects an entry of the sample-rate list and runs its reaction (OFF, then the rate in use).
  virtual void SelectRateEntry(int32_t entry) = 0;
  /// Selects the entry that reads hz, as SelectRateEntry.
  virtual void SelectRate(int32_t hz) = 0;
  virtual void MemRecall(int n) = 0;
  /// Prepares the current signal and writes one pass of it to the null device.
  virtual void ExportToNullDevice() = 0;
  /// Starts the output unless it runs (a failure shows its own message).
  virtual void StartSignal() = 0;
  virtual bool OutputActive() const = 0;
  /// The device list's text.
  virtual std::string DeviceText() const = 0;
};
