#include "sync/MessageHandler.h"

#include "engine/Numbers.h"
#include "sync/GeneratorMessages.h"

#include <string>

namespace {

constexpr int kMemories = 4;

}  // namespace

void TGeneratorMessageHandler::WndProc(uint32_t number, uint32_t wParam, int32_t lParam) {
  switch (number) {
    case gmStart: FTarget.StartSignal(); break;
    case gmStop: FTarget.StopAtOnce(); break;
    case gmPause: FTarget.TogglePause(); break;
    case gmSync: FTarget.SetSwitch(TMessageSwitch::Sync, wParam != 0); break;
    case gmDuration:
      FTarget.SetText(TMessageField::Duration, FloatToStrGeneral(wParam / 10.0L, FFormat));
      FTarget.Validate(TMessageField::Duration);
      break;
    case gmLoop: FTarget.SetSwitch(TMessageSwitch::Loop, wParam != 0); break;
    case gmChannels: SetChannels(wParam); break;
    case gmLevelLeft: SetLevel(TMessageField::LevelLeft, wParam); break;
    case gmLevelRight: SetLevel(TMessageField::LevelRight, wParam); break;
    case gmModulationLeft: FTarget.SetSwitch(TMessageSwitch::ModulationLeft, wParam != 0); break;
    case gmModulationRight: FTarget.SetSwitch(TMessageSwitch::ModulationRight, wParam != 0); break;
    case gmModPeriods:
      SetNumber(TMessageField::PeriodLeft, wParam);
      SetNumber(TMessageField::PeriodRight, lParam);
      break;
    case gmModDepths:
      SetNumber(TMessageField::DepthLeft, wParam);
      SetNumber(TMessageField::DepthRight, lParam);
      break;
    case gmModPhases:
      SetNumber(TMessageField::PhaseLeft, wParam);
      SetNumber(TMessageField::PhaseRight, lParam);
      break;
    case gmModFunctions:
      SelectWithin(TMessageList::ModFunctionLeft, wParam);
      SelectWithin(TMessageList::ModFunctionRight, lParam);
      break;
    case gmWaveFormLeft: SelectWithin(TMessageList::WaveFormLeft, wParam); break;
    case gmWaveFormRight: SelectWithin(TMessageList::WaveFormRight, wParam); break;
    // Entry 0 is the system default, device id -1 (0xFFFFFFFF).
    case gmDevice: SelectWithin(TMessageList::Device, int64_t{static_cast<int32_t>(wParam)} + 1); break;
    case gmMemory: SetMemory(wParam, lParam); break;
    case gmHotKey:
      if (wParam == OnOffHotKeyId) FTarget.ToggleOutput();
      break;
    default: break;
  }
}

void TGeneratorMessageHandler::SetNumber(TMessageField field, int64_t value) {
  FTarget.SetText(field, std::to_string(value));
}

void TGeneratorMessageHandler::SelectWithin(TMessageList list, int64_t entry) {
  if (entry >= 0 && entry < FTarget.EntryCount(list)) FTarget.Select(list, static_cast<int32_t>(entry));
}

void TGeneratorMessageHandler::SetChannels(uint32_t wParam) {
  FTarget.Select(TMessageList::Channels, wParam == 0 ? 0 : 1);
  FTarget.SetSwitch(TMessageSwitch::ChannelLeft, (wParam & 1u) != 0 || wParam == 0);
  FTarget.SetSwitch(TMessageSwitch::ChannelRight, (wParam & 2u) != 0 || wParam == 0);
}

void TGeneratorMessageHandler::SetLevel(TMessageField field, uint32_t wParam) {
  // A level is negative, so senders pass it as a signed number (-20 arrives
  // as 0xFFFFFFEC); validating at once keeps the output at full scale at most.
  SetNumber(field, static_cast<int32_t>(wParam));
  FTarget.Validate(field);
}

void TGeneratorMessageHandler::SetMemory(uint32_t wParam, int32_t lParam) {
  if (lParam < 1 || lParam > kMemories) return;
  if (wParam == 0)
    FTarget.MemRecall(lParam);
  else if (wParam == 1)
    FTarget.MemStore(lParam);
}
