#pragma once
// What the generator messages act on: the main window's fields, switches,
// lists and commands, named by their role. The window implements it over its
// controls, so that setting a value has the effect of the operator doing it.

#include <cstdint>
#include <string>

enum class TMessageField { Duration, LevelLeft, LevelRight, PeriodLeft, PeriodRight, DepthLeft, DepthRight,
                           PhaseLeft, PhaseRight };
enum class TMessageSwitch { Sync, Loop, ModulationLeft, ModulationRight, ChannelLeft, ChannelRight };
enum class TMessageList { Channels, WaveFormLeft, WaveFormRight, ModFunctionLeft, ModFunctionRight, Device };

class TMessageTarget {
public:
  virtual ~TMessageTarget() = default;
  /// Starts the output with the window's settings unless it runs.
  virtual void StartSignal() = 0;
  virtual void StopAtOnce() = 0;
  virtual void TogglePause() = 0;
  /// ON when stopped, OFF when playing, as the window's ON/OFF command.
  virtual void ToggleOutput() = 0;
  /// Sets the field's text; a changed text runs its change reaction.
  virtual void SetText(TMessageField field, const std::string& text) = 0;
  /// Runs the field's validation, as when the focus leaves it.
  virtual void Validate(TMessageField field) = 0;
  /// A changed state runs the switch's click reaction.
  virtual void SetSwitch(TMessageSwitch box, bool on) = 0;
  virtual int32_t EntryCount(TMessageList list) const = 0;
  /// Selects entry index (within the list) as the operator would, reaction included.
  virtual void Select(TMessageList list, int32_t index) = 0;
  /// Memory presets 1..4.
  virtual void MemRecall(int n) = 0;
  virtual void MemStore(int n) = 0;
};
