// Level edits and sliders, and the duration field.

#include "app/frmGenerator.h"

#include "engine/Numbers.h"

#include <cmath>

namespace {

/// Slider position of a level in dBFS: 0 at the top, 10000 at -100 dBFS.
int32_t SliderPosition(long double dBFS) { return static_cast<int32_t>(std::nearbyint(-100.0L * dBFS)); }

}  // namespace

void TfrmGenerator::AmplitudeExit(TEdit& edit, TTrackBar& bar) {
  // A text that does not convert takes the level the slider shows, not the
  // rule's default of 0 dBFS: a typing slip must not jump to full scale.
  TFieldRule rule = AmplitudeRule;
  rule.Default = static_cast<float>(-bar.Position() / 100.0L);
  edit.SetText(Cleanup(edit.Text(), rule, FServices.Format));
  // The cleaned text always converts; setting the slider writes the text again.
  if (auto v = TryStrToFloat(edit.Text(), FServices.Format)) bar.SetPosition(SliderPosition(*v));
}

void TfrmGenerator::AmplitudeChange(const TEdit& edit, ChannelSettings& channel) {
  const auto v = TryStrToFloat(edit.Text(), FServices.Format);
  if (!v) return;
  channel.amplitudeDb = static_cast<float>(*v);
  channel.amplitudeGain = static_cast<float>(std::pow(10.0L, *v / 20.0L));
  PublishLiveSettings();
}

void TfrmGenerator::AmplitudeLeftExit() { AmplitudeExit(AmplitudeLeft, barAmplitudeLeft); }
void TfrmGenerator::AmplitudeRightExit() { AmplitudeExit(AmplitudeRight, barAmplitudeRight); }

void TfrmGenerator::AmplitudeLeftChange() {
  AmplitudeChange(AmplitudeLeft, State.left);
  if (chkAsLeft.Checked()) {
    CopySettingsfromleftChannel1Click();
    AmplitudeRightExit();
  }
}

void TfrmGenerator::AmplitudeRightChange() { AmplitudeChange(AmplitudeRight, State.right); }

void TfrmGenerator::barAmplitudeLeftChange() {
  AmplitudeLeft.SetText(FloatToStrGeneral(-barAmplitudeLeft.Position() / 100.0L, FServices.Format));
}

void TfrmGenerator::barAmplitudeRightChange() {
  AmplitudeRight.SetText(FloatToStrGeneral(-barAmplitudeRight.Position() / 100.0L, FServices.Format));
}

void TfrmGenerator::DurationExit() { Duration.SetText(Cleanup(Duration.Text(), DurationRule, FServices.Format)); }
