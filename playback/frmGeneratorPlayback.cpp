// ON, OFF and Pause, the start sequence, and the window's reactions to the
// output's start, stop and fill events.

#include "app/frmGenerator.h"

#include "analysis/SignalAnalysis.h"
#include "app/Application.h"
#include "app/ProductTexts.h"
#include "engine/Numbers.h"
#include "engine/Render.h"
#include "platform/Dialogs.h"
#include "platform/IntervalTimer.h"
#include "platform/MessageLoop.h"
#include "playback/OutputEvents.h"
#include "playback/RenderFeed.h"
#include "playback/frmSettings.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr const char* NoFilledBuffer = "There must be at least one filled buffer";

uint16_t ToQuantization(int32_t bits) { return static_cast<uint16_t>(std::clamp<int32_t>(bits, 0, UINT16_MAX)); }

}  // namespace

void TfrmGenerator::startsignal() {
  if (FFeed->PlaysReference()) AudioOut1->StopAtOnce();  // the signal takes the output over
  if (AudioOut1->Active) return;
  Preparevariables();
  AudioOut1->SetStereo(cboChannels.ItemIndex() == cmStereo);
  AudioOut1->SetFrameRate(State.sampleRate);
  AudioOut1->SetQuantization(ToQuantization(StrToInt(frmSettings->cboQuant.Text())));
  State.fullScale = static_cast<int32_t>(std::llround(std::pow(2.0, AudioOut1->Quantization())) / 2 - 1);
  AudioOut1->SetNumBuffers(StrToInt(frmSettings->cboBuffers.Text()));
  AudioOut1->SetBufferSize(StrToInt(frmSettings->cboBufferSize.Text()));
  AudioOut1->SetOutputChannels(frmSettings->OutputsForStart(AudioOut1->Stereo()));
  // Notifications of an earlier run are handled before the new one opens.
  FServices.Loop.ProcessMessages();
  FAnalysis->Start({State.sampleRate, AudioOut1->Stereo() ? 2 : 1, AudioOut1->Quantization() / 8, State.fullScale,
                    AudioOut1->NumBuffers(), AudioOut1->BufferSize()});
  // A run still draining keeps its feed; the start then fails as the device is still open.
  if (!AudioOut1->Rendering()) FFeed->Start(State, int64_t{AudioOut1->NumBuffers()} * AudioOut1->BufferSize());
  FOutputEvents->Starting(AudioOut1->ErrorMessage);
  const bool started = AudioOut1->Start(AudioOut1);
  if (!AudioOut1->Rendering()) FFeed->HandBack(State);  // the start's own fills moved it on
  if (FFeed->TakePerformanceIssue()) ShowPerformanceIssue();
  if (!started) ShowStartFailure();
  SetFocus(btnOFF);
}

void TfrmGenerator::ShowStartFailure() {
  if (AudioOut1->ErrorMessage == NoFilledBuffer)
    FServices.Dialogs.ShowMessage(
        "For very short signals please decrease the buffer number and size in the 'Output settings' in the "
        "'Tools' menu");
  else
    FServices.Dialogs.ShowMessage("Sound Device Error: \r" + AudioOut1->ErrorMessage);
}

void TfrmGenerator::btnONClick() {
  FServices.Application.BroadcastMessage = gmStart;
  if (chkSync.Checked()) {
    BroadcastToGenerators(0, 0);
    FServices.Application.BringToFront();
  } else {
    startsignal();
  }
}

void TfrmGenerator::btnOFFClick() {
  FServices.Application.BroadcastMessage = gmStop;
  if (chkSync.Checked())
    BroadcastToGenerators(0, 0);
  else
    AudioOut1->StopAtOnce();
  if (btnON.Enabled()) SetFocus(btnON);
}

void TfrmGenerator::btnPauseClick() {
  FServices.Application.BroadcastMessage = gmPause;
  if (chkSync.Checked()) {
    BroadcastToGenerators(0, 0);
    return;
  }
  TogglePause();
}

void TfrmGenerator::TogglePause() {
  AudioOut1->SetPaused(!AudioOut1->Paused());
  btnPause.SetFontBold(AudioOut1->Paused());
  // A paused device plays silence: the meter falls as it does after OFF.
  if (AudioOut1->Paused())
    StartMeterFall();
  else
    FMeterFall->Stop();
}

void TfrmGenerator::ONOFF2Click() {
  if (AudioOut1->Active)
    btnOFFClick();
  else
    btnONClick();
}

void TfrmGenerator::LockOutputControls(bool locked) {
  FOutputLocked = locked;
  for (TControl* c : std::initializer_list<TControl*>{&cboChannels, &WaveDevice, &Duration, &Loop, &Memory1,
                                                      &Memory2, &Memory3, &Memory4, &mnuPresets})
    c->SetEnabled(!locked);
  ApplyLevelEnabling(RightChannelFree());
}

void TfrmGenerator::AudioOut1Start(void*) {
  FOutputEvents->Started(WaveDevice.Text(), {AudioOut1->FrameRate(), AudioOut1->Stereo() ? 2 : 1,
                                             AudioOut1->Quantization(), AudioOut1->NumBuffers(),
                                             AudioOut1->BufferSize()});
  FMeterFall->Stop();
  FAnalysis->BufferPlaying(AudioOut1->ProcessedBuffers);  // the first buffer plays now
  ShowDropouts();
  FServices.Application.SetTitle(std::string("ON - ") + ProductName);
  btnOFF.SetDefault(true);
  btnON.SetDefault(false);
  LED.SetBrushColor(clGreen);
  FServices.Application.SignalBusy = true;
  LockOutputControls(true);
  AppMessage();
  ReferenceOutputChanged();
}

void TfrmGenerator::AudioOut1Stop(void*) {
  FServices.Application.SetTitle(ProductName);
  btnPause.SetFontBold(false);
  btnOFF.SetDefault(false);
  btnON.SetDefault(true);
  LED.SetBrushColor(clMaroon);
  FServices.Application.SignalBusy = false;
  LockOutputControls(false);
  AppMessage();
  if (btnON.Enabled()) SetFocus(btnON);
  ShowDropouts();
  StartMeterFall();
  FOutputEvents->Stopped(AudioOut1->StoppedAtOnce(), AudioOut1->ErrorMessage, AudioOut1->Dropouts());
  if (FScriptRunner) FScriptRunner->OutputStopped();
  ReferenceOutputChanged();
}

void TfrmGenerator::StartMeterFall() { FMeterFall->Start(1000 / 30); }

void TfrmGenerator::MeterFallTick(uint64_t intervals) {
  const bool heard = AudioOut1->Active && !AudioOut1->Paused();
  if (heard || !FAnalysis->Silence(intervals * FMeterFall->IntervalMs() / 1000.0)) FMeterFall->Stop();
}

bool TfrmGenerator::AudioOut1FillBuffer(uint8_t* buffer, int32_t& size) { return FFeed->Fill(buffer, size); }

void TfrmGenerator::AudioOut1BufferPlayed(void*) {
  FAnalysis->BufferPlaying(AudioOut1->ProcessedBuffers);
  FOutputEvents->Measured(FAnalysis->MeasuredBuffers(), FAnalysis->ClippedSamples());
  ShowDropouts();
  if (!FFeed->TakePerformanceIssue()) return;
  FOutputEvents->PerformanceStop();
  AudioOut1->StopAtOnce();
  ShowPerformanceIssue();
}

void TfrmGenerator::ShowPerformanceIssue() {
  FServices.Dialogs.ShowMessage("There is an issue with performance. See help for details");
}

void TfrmGenerator::AudioOut1DeviceLost(void*) {
  LED.SetBrushColor(clAmber);
  ShowDropouts();
}

void TfrmGenerator::AudioOut1DeviceBack(void*) {
  if (AudioOut1->Active) LED.SetBrushColor(clGreen);
  ShowDropouts();
}

void TfrmGenerator::ShowDropouts() {
  if (AudioOut1->DeviceLost()) {
    lblDropouts.SetCaption("Device lost at " + AudioOut1->LostAtText() + ", waiting for it");
    lblDropouts.SetFontColor(clRed);
    return;
  }
  const TDropouts dropouts = AudioOut1->Dropouts();
  lblDropouts.SetCaption("Dropouts: " + std::to_string(dropouts.Count));
  lblDropouts.SetFontColor(dropouts.Count > 0 ? clRed : clWindowText);
  FOutputEvents->DropoutsShown(dropouts);
}

void TfrmGenerator::AudioOut1RenderStopped(void*) { FFeed->HandBack(State); }

GeneratorState& TfrmGenerator::RenderState() { return FFeed->RenderState(); }

void TfrmGenerator::WaveDeviceChange() {
  AudioOut1->SetWaveDevice(static_cast<uint32_t>(WaveDevice.ItemIndex() - 1));
  if (frmSettings) frmSettings->FillOutputLists();
}
