#include "instrument/WindowInstrument.h"

#include "analysis/SignalAnalysis.h"
#include "app/ProductTexts.h"
#include "app/frmGenerator.h"
#include "engine/Numbers.h"
#include "platform/MessageLoop.h"
#include "playback/frmSettings.h"

#include <cmath>

namespace {

using C = TInstrumentControl;

/// A control and the group box around it (null: none), which disables it as well.
struct TPlacedControl {
  TControl* Control;
  const TControl* Group;
};

}  // namespace

TWindowInstrument::TWindowInstrument(TfrmGenerator& window) : G(window) {}

std::string TWindowInstrument::Identity() const {
  return std::string("Vellacor,") + ProductName + ",0," + ProductVersion;
}

namespace {

TEdit& Edit(TfrmGenerator& g, C field, int ch) {
  const bool l = ch == 0;
  switch (field) {
    case C::Level: return l ? g.AmplitudeLeft : g.AmplitudeRight;
    case C::FilterFrequency: return l ? g.txtFZeroL : g.txtFZeroR;
    case C::FilterGain: return l ? g.txtGainL : g.txtGainR;
    case C::FilterQ: return l ? g.txtQL : g.txtQR;
    case C::ModPeriod: return l ? g.ModPeriodLeftEdit : g.ModPeriodRightEdit;
    case C::ModDepth: return l ? g.ModDepthLeftEdit : g.ModDepthRightEdit;
    case C::ModPhase: return l ? g.ModPhaseLeftEdit : g.ModPhaseRightEdit;
    default: return g.Duration;
  }
}

TCheckBox& Switch(TfrmGenerator& g, C box, int ch) {
  const bool l = ch == 0;
  switch (box) {
    case C::ChannelOn: return l ? g.Lefttick : g.RightTick;
    case C::Modulation: return l ? g.ModulationOnLeft : g.ModulationOnRight;
    case C::Loop: return g.Loop;
    case C::RightAsLeft: return g.chkAsLeft;
    default: return g.chkSync;
  }
}

TCustomList& List(TfrmGenerator& g, C list, int ch) {
  const bool l = ch == 0;
  switch (list) {
    case C::NoiseType: return l ? g.WaveFormLeft : g.WaveFormRight;
    case C::CrestFactor: return l ? g.cboCrestFactorL : g.cboCrestFactorR;
    case C::FilterType: return l ? g.cboFilterTypeL1 : g.cboFilterTypeR1;
    case C::ModFunction: return l ? g.ModFunctionLeft : g.ModFunctionRight;
    case C::SampleRate: return g.frmSettings->cboFsList;
    case C::Bits: return g.frmSettings->cboQuant;
    case C::BufferSize: return g.frmSettings->cboBufferSize;
    case C::BufferCount: return g.frmSettings->cboBuffers;
    case C::Device: return g.WaveDevice;
    case C::Output: return l ? g.frmSettings->cboLeftOutput : g.frmSettings->cboRightOutput;
    default: return g.cboChannels;
  }
}

bool IsField(C c) { return c <= C::ModPhase; }
bool IsSwitch(C c) { return c >= C::ChannelOn && c <= C::RightAsLeft; }

/// The control the operator uses for c; the level is set with its slider,
/// which stays usable while the output plays.
TPlacedControl Placed(TfrmGenerator& g, C c, int ch) {
  const bool l = ch == 0;
  if (c == C::Level) return {l ? &g.barAmplitudeLeft : &g.barAmplitudeRight, nullptr};
  if (c == C::FilterFrequency || c == C::FilterGain || c == C::FilterQ || c == C::FilterType)
    return {IsField(c) ? static_cast<TControl*>(&Edit(g, c, ch)) : &List(g, c, ch), l ? &g.grpFilterL : &g.grpFilterR};
  if (IsField(c)) return {&Edit(g, c, ch), nullptr};
  if (IsSwitch(c)) return {&Switch(g, c, ch), nullptr};
  return {&List(g, c, ch), nullptr};
}

}  // namespace

bool TWindowInstrument::Enabled(C control, int channel) const {
  const TPlacedControl p = Placed(G, control, channel);
  return p.Control->Enabled() && (!p.Group || p.Group->Enabled());
}

std::optional<long double> TWindowInstrument::Number(C field, int channel) const {
  return TryStrToFloat(Edit(G, field, channel).Text(), G.Services().Format);
}

void TWindowInstrument::SetNumber(C field, int channel, long double value) {
  if (field == C::Level) {
    TTrackBar& bar = channel == 0 ? G.barAmplitudeLeft : G.barAmplitudeRight;
    bar.SetPosition(static_cast<int32_t>(std::lround(static_cast<double>(-100.0L * value))));
    return;
  }
  TEdit& edit = Edit(G, field, channel);
  edit.SetText(FloatToStrGeneral(value, G.Services().Format));
  if (edit.OnExit) edit.OnExit();
}

bool TWindowInstrument::Checked(C box, int channel) const { return Switch(G, box, channel).Checked(); }

void TWindowInstrument::SetChecked(C box, int channel, bool on) { Switch(G, box, channel).SetChecked(on); }

std::vector<std::string> TWindowInstrument::Entries(C list, int channel) const {
  return List(G, list, channel).Items();
}

int32_t TWindowInstrument::Selected(C list, int channel) const { return List(G, list, channel).ItemIndex(); }

void TWindowInstrument::Select(C list, int channel, int32_t index) { List(G, list, channel).UserSelect(index); }

int32_t TWindowInstrument::SampleRate() const { return G.State.sampleRate; }

bool TWindowInstrument::CanStart() const { return G.btnON.Enabled(); }
void TWindowInstrument::PressOn() {
  G.btnONClick();
  AwaitOutputReaction();
}

void TWindowInstrument::PressOff() {
  G.btnOFFClick();
  AwaitOutputReaction();
}

void TWindowInstrument::AwaitOutputReaction() {
  // The window locks and unlocks its controls when the device reports the
  // open and the close, through the message loop. A command after ON or OFF
  // (and *OPC?) must find the window as the operator would after the click
  // has taken effect, so the device's report is awaited here, for at most
  // about two seconds.
  TMessageLoop& loop = G.Services().Loop;
  for (int i = 0; i < 2000 && G.Memory1.Enabled() == G.AudioOut1->Active; ++i) {
    loop.ProcessMessages();
    if (G.Memory1.Enabled() == G.AudioOut1->Active) loop.Sleep(1);
  }
}
void TWindowInstrument::PressPause() { G.btnPauseClick(); }
void TWindowInstrument::ResetToDefaults() { G.rESETTOdEFAULT1Click(); }
void TWindowInstrument::MemStore(int n) { G.MemStore(n); }
void TWindowInstrument::MemRecall(int n) { G.MemRecall(n); }
bool TWindowInstrument::LoadPresetFile(const std::string& path) { return G.LoadSettings(path).IsPresetFile; }

TInstrumentStatus TWindowInstrument::Status() const {
  TInstrumentStatus s;
  s.Playing = G.AudioOut1->Active;
  s.Paused = G.AudioOut1->Paused();
  s.DeviceLost = G.AudioOut1->DeviceLost();
  s.ElapsedSeconds = G.AudioOut1->ElapsedTime();
  const TDropouts dropouts = G.AudioOut1->Dropouts();
  s.Dropouts = dropouts.Count;
  s.DropoutSeconds = dropouts.Milliseconds / 1000.0;
  const TSignalAnalysis& analysis = G.Analysis();
  s.Channels = analysis.Channels();
  for (int c = 0; c < 2; ++c) {
    s.RmsDb[c] = analysis.Levels(c).rmsDb;
    s.PeakDb[c] = analysis.Levels(c).peakDb;
    s.Crest[c] = analysis.Levels(c).crest;
    s.Clipped[c] = analysis.ClippedSamples(c);
  }
  return s;
}
