// The synchronisation box and the generator messages this window handles.

#include "app/frmGenerator.h"

#include "app/Application.h"
#include "platform/ScreenSaver.h"
#include "playback/frmSettings.h"
#include "sync/MessageHandler.h"
#include "sync/MessageTarget.h"

#include <iostream>

/// The window's controls and commands as the generator messages name them.
class TWindowMessageTarget final : public TMessageTarget {
public:
  explicit TWindowMessageTarget(TfrmGenerator& window) : G(window) {}

  void StartSignal() override { G.startsignal(); }
  void StopAtOnce() override { G.AudioOut1->StopAtOnce(); }
  void TogglePause() override { G.TogglePause(); }
  void ToggleOutput() override { G.ONOFF2Click(); }
  void SetText(TMessageField field, const std::string& text) override { Edit(field).SetText(text); }
  void Validate(TMessageField field) override {
    if (Edit(field).OnExit) Edit(field).OnExit();
  }
  void SetSwitch(TMessageSwitch box, bool on) override { Switch(box).SetChecked(on); }
  int32_t EntryCount(TMessageList list) const override { return List(list).Count(); }
  void Select(TMessageList list, int32_t index) override { List(list).UserSelect(index); }
  void MemRecall(int n) override { G.MemRecall(n); }
  void MemStore(int n) override { G.MemStore(n); }

private:
  TEdit& Edit(TMessageField field) const {
    switch (field) {
      case TMessageField::Duration: return G.Duration;
      case TMessageField::LevelLeft: return G.AmplitudeLeft;
      case TMessageField::LevelRight: return G.AmplitudeRight;
      case TMessageField::PeriodLeft: return G.ModPeriodLeftEdit;
      case TMessageField::PeriodRight: return G.ModPeriodRightEdit;
      case TMessageField::DepthLeft: return G.ModDepthLeftEdit;
      case TMessageField::DepthRight: return G.ModDepthRightEdit;
      case TMessageField::PhaseLeft: return G.ModPhaseLeftEdit;
      case TMessageField::PhaseRight: return G.ModPhaseRightEdit;
    }
    return G.Duration;
  }
  TCheckBox& Switch(TMessageSwitch box) const {
    switch (box) {
      case TMessageSwitch::Sync: return G.chkSync;
      case TMessageSwitch::Loop: return G.Loop;
      case TMessageSwitch::ModulationLeft: return G.ModulationOnLeft;
      case TMessageSwitch::ModulationRight: return G.ModulationOnRight;
      case TMessageSwitch::ChannelLeft: return G.Lefttick;
      case TMessageSwitch::ChannelRight: return G.RightTick;
    }
    return G.chkSync;
  }
  TCustomList& List(TMessageList list) const {
    switch (list) {
      case TMessageList::Channels: return G.cboChannels;
      case TMessageList::WaveFormLeft: return G.WaveFormLeft;
      case TMessageList::WaveFormRight: return G.WaveFormRight;
      case TMessageList::ModFunctionLeft: return G.ModFunctionLeft;
      case TMessageList::ModFunctionRight: return G.ModFunctionRight;
      case TMessageList::Device: return G.WaveDevice;
    }
    return G.cboChannels;
  }

  TfrmGenerator& G;
};

void TfrmGenerator::CreateMessageHandling() {
  FMessageTarget = std::make_unique<TWindowMessageTarget>(*this);
  FMessageHandler = std::make_unique<TGeneratorMessageHandler>(*FMessageTarget, FServices.Format);
  FBroadcast = std::make_unique<TLocalBroadcast>(
      [this](uint32_t n, uint32_t w, int32_t l, TDelivery d) { ReceiveMessage(n, w, l, d); });
}

void TfrmGenerator::chkSyncClick() {
  FServices.Application.BroadcastMessage = gmSync;
  BroadcastToGenerators(chkSync.Checked() ? 1 : 0, 0);
}

void TfrmGenerator::BroadcastToGenerators(uint32_t wParam, int32_t lParam) {
  // Another generator's broadcast reached every generator by itself; sending
  // its change on would make two opposite changes chase each other for ever.
  if (FHandlingBroadcast) return;
  const uint32_t number = FServices.Application.BroadcastMessage;
  FMessageOrder.Run([this, number, wParam, lParam] { FBroadcast->Broadcast(number, wParam, lParam); });
}

void TfrmGenerator::ReceiveMessage(uint32_t number, uint32_t wParam, int32_t lParam, TDelivery delivery) {
  if (delivery == TDelivery::Own) {  // the broadcast that runs now handles its own window first
    WndProc(number, wParam, lParam);
    return;
  }
  FMessageOrder.Run([this, number, wParam, lParam, delivery] {
    FHandlingBroadcast = delivery == TDelivery::Broadcast;
    WndProc(number, wParam, lParam);
    FHandlingBroadcast = false;
  });
}

void TfrmGenerator::WndProc(uint32_t number, uint32_t wParam, int32_t lParam) {
  if (FMessageDepth > 0)
    std::cerr << "zephyra: message " << number << " was handled inside another message\n";
  ++FMessageDepth;
  // Each message is a command of its own: an error ends it with the standard
  // error box, and a broadcast goes on to the next generator.
  FServices.Application.Perform([&] { FMessageHandler->WndProc(number, wParam, lParam); });
  --FMessageDepth;
}

void TfrmGenerator::SetBroadcast(std::unique_ptr<TGeneratorBroadcast> broadcast) {
  FBroadcast = std::move(broadcast);
}

void TfrmGenerator::AppMessage() {
  TScreenSaver* screenSaver = FServices.ScreenSaver;
  if (!screenSaver) return;
  if (AudioOut1->Active && frmSettings && frmSettings->chkDisableSS.Checked())
    screenSaver->Hold();
  else
    screenSaver->Release();
}
