#include "instrument/StatusRegisters.h"

void TStatusRegisters::Report(int code, const std::string& detail) {
  Errors.Push(code, detail);
  if (code <= -100 && code > -200) Esr |= esrCommandError;
  else if (code <= -200 && code > -300) Esr |= esrExecutionError;
  else if (code <= -300 && code > -400) Esr |= esrDeviceError;
  else if (code <= -400 && code > -500) Esr |= esrQueryError;
}

uint8_t TStatusRegisters::StatusByte() const {
  uint8_t stb = 0;
  if (!Errors.Empty()) stb |= stbErrorQueue;
  if (Esr & Ese) stb |= stbEventStatus;
  if (stb & Sre & ~stbServiceRequest) stb |= stbServiceRequest;
  return stb;
}

uint8_t TStatusRegisters::TakeEsr() {
  const uint8_t esr = Esr;
  Esr = 0;
  return esr;
}

void TStatusRegisters::Clear() {
  Errors.Clear();
  Esr = 0;
}
