#include "AudioIO/CallBackWinOut.h"

#include "AudioIO/AudioOut.h"

void TCallBackWinOut::WomOpen() {
  TAudioOut* component = *AudioComponent;
  if (component == nullptr || !component->OnStart()) return;
  TNotifyEvent event = component->OnStart();
  event(this);
}

void TCallBackWinOut::WomDone(TWaveHdr& header) {
  if (TAudioOut* component = *AudioComponent) component->BufferDone(*this, header);
}

void TCallBackWinOut::WomClose() {
  TAudioOut* component = *AudioComponent;
  if (component != nullptr && component->OnStop()) {
    TNotifyEvent event = component->OnStop();
    event(this);
  }
  FClosed = true;
}
