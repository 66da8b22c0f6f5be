#include "platform/WaveErrorText.h"

std::optional<std::string> CommonWaveErrorText(TMMResult code) {
  switch (code) {
    case MMSYSERR_NOERROR: return "The command completed successfully.";
    case MMSYSERR_BADDEVICEID: return "The device identifier is not among the output devices.";
    case MMSYSERR_ALLOCATED: return "The device is already in use.";
    case MMSYSERR_INVALHANDLE: return "The device is not open.";
    case MMSYSERR_NOMEM: return "Too many buffers are queued on the device.";
    case WAVERR_BADFORMAT: return "The device cannot play this format.";
    case WAVERR_STILLPLAYING: return "Buffers are still queued on the device.";
    case WAVERR_UNPREPARED: return "The buffer is not prepared.";
    default: return std::nullopt;
  }
}
