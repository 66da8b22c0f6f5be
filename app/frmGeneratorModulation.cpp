// Modulation fields and switches.

#include "app/frmGenerator.h"

#include "engine/Modulation.h"
#include "engine/Numbers.h"

#include <numbers>

namespace {

/// Enables the labels, edits and list of one modulation group.
void EnableModulationGroup(bool on, std::initializer_list<TControl*> controls, TComboBox& function) {
  for (TControl* c : controls) c->SetEnabled(on);
  function.SetEnabled(on);
  function.SetFontColor(on ? clWindowText : clGray);
}

}  // namespace

void TfrmGenerator::ModDepthLeftEditExit() {
  ModDepthLeftEdit.SetText(Cleanup(ModDepthLeftEdit.Text(), ModDepthRule, FServices.Format));
}

void TfrmGenerator::ModDepthRightEditExit() {
  ModDepthRightEdit.SetText(Cleanup(ModDepthRightEdit.Text(), ModDepthRule, FServices.Format));
}

void TfrmGenerator::ModDepthLeftEditChange() {
  if (ModDepthLeftEdit.Text().empty()) return;
  if (auto v = TryStrToFloat(ModDepthLeftEdit.Text(), FServices.Format)) {
    State.left.modulationDepth = DepthFraction(*v);
    PublishLiveSettings();
  }
}

void TfrmGenerator::ModDepthRightEditChange() {
  if (ModDepthRightEdit.Text().empty()) return;
  if (auto v = TryStrToFloat(ModDepthRightEdit.Text(), FServices.Format)) {
    State.right.modulationDepth = DepthFraction(*v);
    PublishLiveSettings();
  }
}

void TfrmGenerator::ModPeriodExit(TEdit& edit, ChannelSettings& channel) {
  TModPeriodExit r = ModPeriodExitText(edit.Text(), FServices.Format);
  // A period must stay above 0 (the modulation divides by it): one that is
  // not, also after rounding to the shown decimals, is refused as "1".
  const auto shown = TryStrToFloat(r.Text, FServices.Format);
  if (!(r.Value > 0) || !shown || !(*shown > 0)) r = {"1", 1.0f};
  channel.modulationPeriod = r.Value;
  PublishLiveSettings();
  edit.SetText(r.Text);
}

void TfrmGenerator::ModPeriodChange(TEdit& edit, ChannelSettings& channel) {
  if (edit.Text().empty()) return;
  const auto v = TryStrToFloat(edit.Text(), FServices.Format);
  if (!v) return;
  channel.modulationPeriod = static_cast<float>(*v);
  PublishLiveSettings();
  if (channel.modulationPeriod == 0 && AudioOut1->Active) {
    AudioOut1->StopAtOnce();
    edit.SetText("1");
  }
}

void TfrmGenerator::ModPeriodLeftEditExit() { ModPeriodExit(ModPeriodLeftEdit, State.left); }
void TfrmGenerator::ModPeriodRightEditExit() { ModPeriodExit(ModPeriodRightEdit, State.right); }
void TfrmGenerator::ModPeriodLeftEditChange() { ModPeriodChange(ModPeriodLeftEdit, State.left); }
void TfrmGenerator::ModPeriodRightEditChange() { ModPeriodChange(ModPeriodRightEdit, State.right); }

void TfrmGenerator::ModPhaseLeftEditExit() {
  ModPhaseLeftEdit.SetText(Cleanup(ModPhaseLeftEdit.Text(), ModPhaseRule, FServices.Format));
}

void TfrmGenerator::ModPhaseRightEditExit() {
  ModPhaseRightEdit.SetText(Cleanup(ModPhaseRightEdit.Text(), ModPhaseRule, FServices.Format));
}

void TfrmGenerator::ModPhaseLeftEditChange() {
  if (auto v = TryStrToFloat(ModPhaseLeftEdit.Text(), FServices.Format)) {
    State.left.modulationPhase = static_cast<float>(*v * std::numbers::pi_v<long double> / 180);
    PublishLiveSettings();
  }
}

void TfrmGenerator::ModPhaseRightEditChange() {
  if (auto v = TryStrToFloat(ModPhaseRightEdit.Text(), FServices.Format)) {
    State.right.modulationPhase = static_cast<float>(*v * std::numbers::pi_v<long double> / 180);
    PublishLiveSettings();
  }
}

void TfrmGenerator::ModulationOnLeftClick() {
  const bool on = ModulationOnLeft.Checked();
  State.left.modulationOn = on;
  EnableModulationGroup(on, {&lblPeriodL, &lblSecL, &lblPercentL, &lblFunctionL, &lblDepthL, &lblPhaseL,
                             &ModPeriodLeftEdit, &ModDepthLeftEdit, &ModPhaseLeftEdit},
                        ModFunctionLeft);
  if (chkAsLeft.Checked()) ModulationOnRight.SetChecked(on);
  AmplitudeLeftExit();
  AmplitudeRightExit();
  State.left.modulationGain = 1.0f;
  PublishLiveSettings();
}

void TfrmGenerator::ModulationOnRightClick() {
  State.right.modulationOn = ModulationOnRight.Checked();
  const bool on = ModulationOnRight.Checked() && !chkAsLeft.Checked();
  EnableModulationGroup(on, {&lblPeriodR, &lblSecR, &lblPercentR, &lblFunctionR, &lblDepthR, &lblPhaseR,
                             &ModPeriodRightEdit, &ModDepthRightEdit, &ModPhaseRightEdit},
                        ModFunctionRight);
  AmplitudeRightExit();
  State.right.modulationGain = 1.0f;
  PublishLiveSettings();
}
