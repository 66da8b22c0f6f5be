#pragma once
// The instrument's commands on the main window and its output settings: the
// controls by role, set as the operator sets them (text then leaving the
// field, a click, a list selection, the slider for the level), so that the
// window, the presets and the other generators see the same result.

#include "instrument/InstrumentTarget.h"

class TfrmGenerator;

class TWindowInstrument final : public TInstrumentTarget {
public:
  /// window (with its output settings window created) must outlive this object.
  explicit TWindowInstrument(TfrmGenerator& window);

  std::string Identity() const override;
  bool Enabled(TInstrumentControl control, int channel) const override;
  std::optional<long double> Number(TInstrumentControl field, int channel) const override;
  void SetNumber(TInstrumentControl field, int channel, long double value) override;
  bool Checked(TInstrumentControl box, int channel) const override;
  void SetChecked(TInstrumentControl box, int channel, bool on) override;
  std::vector<std::string> Entries(TInstrumentControl list, int channel) const override;
  int32_t Selected(TInstrumentControl list, int channel) const override;
  void Select(TInstrumentControl list, int channel, int32_t index) override;
  int32_t SampleRate() const override;
  bool CanStart() const override;
  void PressOn() override;
  void PressOff() override;
  void PressPause() override;
  void ResetToDefaults() override;
  void MemStore(int n) override;
  void MemRecall(int n) override;
  bool LoadPresetFile(const std::string& path) override;
  TInstrumentStatus Status() const override;

private:
  /// Lets the message loop run until the window has taken the output's start or stop.
  void AwaitOutputReaction();

  TfrmGenerator& G;
};
