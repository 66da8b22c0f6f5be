#include "AudioIO/CallBackWinOut.h"

#include "AudioIO/AudioOut.h"

void TCallBackWinOut::WomOpen() {
  FOpened = true;
  TAudioOut* component = *AudioComponent;
  if (component == nullptr) return;
  if (component->OnStart()) {
    TNotifyEvent event = component->OnStart();
    event(this);
  }
  if (*AudioComponent == component && component->CallBackWin == this) component->CycleNoteArrived();
}

void TCallBackWinOut::WomClose() {
  TAudioOut* component = *AudioComponent;
  if (component != nullptr && component->OnStop()) {
    TNotifyEvent event = component->OnStop();
    event(this);
  }
  FClosed = true;
}

void TCallBackWinOut::WomLost() {
  TAudioOut* component = *AudioComponent;
  if (component != nullptr && component->CallBackWin == this) component->DeviceLostArrived();
}

void TCallBackWinOut::WomBack() {
  TAudioOut* component = *AudioComponent;
  if (component != nullptr && component->CallBackWin == this) component->DeviceBackArrived();
}
