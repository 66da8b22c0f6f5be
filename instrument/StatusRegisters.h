#pragma once
// The IEEE 488.2 status of one client's session: the error queue, the Standard
// Event Status Register (ESR) with its enable mask (ESE), and the Service
// Request Enable mask (SRE) over the Status Byte (STB).

#include "instrument/ErrorQueue.h"

#include <cstdint>
#include <string>

/// ESR bits.
enum : uint8_t {
  esrOperationComplete = 0x01,
  esrQueryError = 0x04,
  esrDeviceError = 0x08,
  esrExecutionError = 0x10,
  esrCommandError = 0x20,
  esrPowerOn = 0x80,
};
/// STB bits.
enum : uint8_t { stbErrorQueue = 0x04, stbMessageAvailable = 0x10, stbEventStatus = 0x20, stbServiceRequest = 0x40 };

struct TStatusRegisters {
  TErrorQueue Errors;
  uint8_t Esr = esrPowerOn;
  uint8_t Ese = 0;
  uint8_t Sre = 0;

  /// Queues the error and sets its class's ESR bit (-1xx command, -2xx
  /// execution, -3xx device, -4xx query error).
  void Report(int code, const std::string& detail = {});
  /// The Status Byte as *STB? reads it (reading changes nothing).
  uint8_t StatusByte() const;
  /// *ESR?: the register, then cleared.
  uint8_t TakeEsr();
  /// *CLS: the error queue and the ESR emptied.
  void Clear();
};
