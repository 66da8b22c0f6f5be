#pragma once
// What the instrument commands act on: the controls of the main window and
// of the output settings, and the window's commands. The window implements
// it over its controls (instrument/WindowInstrument.h), so that a command
// has the effect of the operator using the control: a set changes the
// control and runs the reaction the control runs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

/// The controls by role; channel controls take a channel (0 left, 1 right).
enum class TInstrumentControl {
  // numeric fields
  Duration, Level, FilterFrequency, FilterGain, FilterQ, ModPeriod, ModDepth, ModPhase,
  // switches
  ChannelOn, Modulation, Loop, Sync, RightAsLeft,
  // lists
  NoiseType, CrestFactor, FilterType, ModFunction, ChannelMode, SampleRate, Bits, BufferSize, BufferCount, Device,
  /// The device output a channel plays on.
  Output,
};

/// What the status queries read; nothing here waits or changes the generator.
struct TInstrumentStatus {
  bool Playing = false;  ///< the output is active (also while paused)
  bool Paused = false;
  /// The output is on and waits for its lost device to return.
  bool DeviceLost = false;
  double ElapsedSeconds = 0;
  int64_t Dropouts = 0;
  double DropoutSeconds = 0;
  /// Channels of the meter: 0 before the first start, 1 mono, 2 stereo.
  int32_t Channels = 0;
  /// Meter figures of the output now, left (or mono) first; dBFS, -inf for silence.
  double RmsDb[2] = {}, PeakDb[2] = {};
  double Crest[2] = {};
  int64_t Clipped[2] = {};
};

class TInstrumentTarget {
public:
  virtual ~TInstrumentTarget() = default;
  /// "maker,model,serial,version" of *IDN?.
  virtual std::string Identity() const = 0;

  /// The control can be used now (enabled), as the operator finds it.
  virtual bool Enabled(TInstrumentControl control, int channel) const = 0;
  /// A numeric field's value; nothing when its text does not convert.
  virtual std::optional<long double> Number(TInstrumentControl field, int channel) const = 0;
  /// Writes value into the field and runs its reactions, as typing and leaving it.
  virtual void SetNumber(TInstrumentControl field, int channel, long double value) = 0;
  virtual bool Checked(TInstrumentControl box, int channel) const = 0;
  /// Sets the switch; a changed state runs its click reaction.
  virtual void SetChecked(TInstrumentControl box, int channel, bool on) = 0;
  /// A list's entries as shown.
  virtual std::vector<std::string> Entries(TInstrumentControl list, int channel) const = 0;
  virtual int32_t Selected(TInstrumentControl list, int channel) const = 0;
  /// Selects entry index as the operator would, reaction included.
  virtual void Select(TInstrumentControl list, int channel, int32_t index) = 0;
  /// The sample rate in use (the filter frequency goes up to half of it).
  virtual int32_t SampleRate() const = 0;

  /// The ON, OFF and Pause buttons.
  virtual bool CanStart() const = 0;
  virtual void PressOn() = 0;
  virtual void PressOff() = 0;
  virtual void PressPause() = 0;
  /// The reset to defaults of the Presets menu.
  virtual void ResetToDefaults() = 0;
  /// Memory presets 1..4.
  virtual void MemStore(int n) = 0;
  virtual void MemRecall(int n) = 0;
  /// Loads a preset file into the four memories; false when it is no preset
  /// file. Throws std::exception (its what() the reason) when it cannot be read.
  virtual bool LoadPresetFile(const std::string& path) = 0;
  virtual TInstrumentStatus Status() const = 0;
};
