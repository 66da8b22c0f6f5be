// The synchronisation box and the generator messages this window handles.

#include "app/frmGenerator.h"

#include "app/Application.h"

void TfrmGenerator::chkSyncClick() {
  FServices.Application.BroadcastMessage = gmSync;
  BroadcastToGenerators(chkSync.Checked() ? 1 : 0, 0);
}

void TfrmGenerator::BroadcastToGenerators(uint32_t wParam, int32_t lParam) {
  FBroadcast->Broadcast(FServices.Application.BroadcastMessage, wParam, lParam);
}

void TfrmGenerator::GeneratorMessage(uint32_t number, uint32_t wParam, int32_t) {
  switch (number) {
    case gmStart:
      startsignal();
      break;
    case gmStop:
      AudioOut1->StopAtOnce();
      break;
    case gmPause:
      TogglePause();
      break;
    case gmSync:
      chkSync.SetChecked(wParam != 0);
      break;
    default:
      break;
  }
}
