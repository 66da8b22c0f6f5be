#include "AudioIO/AudioIO.h"

#include <algorithm>
#include <new>

namespace {
constexpr int32_t MinBufferSize = 512;
}

TAudioIO::TAudioIO() {
  FWaveFmtEx.wFormatTag = WAVE_FORMAT_PCM;
  FWaveFmtEx.wBitsPerSample = 16;
  FWaveFmtEx.nChannels = 1;
  FWaveFmtEx.nSamplesPerSec = 22050;
  RecalcFormat();
  AllocBuffers();
}

void TAudioIO::SetBufferSize(int32_t v) {
  FRequestedBufferSize = std::max(v, MinBufferSize);
  RecalcFormat();
  // Buffers held by an open device must not move; they are reallocated at the next start.
  if (BuffersInUse()) return;
  FreeBuffers();
  AllocBuffers();
}

void TAudioIO::SetNumBuffers(int32_t v) { FNumBuffers = std::clamp(v, 2, MaxBuffers); }

void TAudioIO::SetFrameRate(int32_t v) {
  FWaveFmtEx.nSamplesPerSec = static_cast<uint32_t>(v);
  RecalcFormat();
}

void TAudioIO::SetStereo(bool v) {
  FWaveFmtEx.nChannels = v ? 2 : 1;
  RecalcFormat();
}

void TAudioIO::SetQuantization(uint16_t v) {
  FWaveFmtEx.wBitsPerSample = std::clamp<uint16_t>(v, 8, 24);
  RecalcFormat();
}

void TAudioIO::StopAtOnce() {
  Active = false;
  ContinueProcessing = false;
}

void TAudioIO::StopGracefully() { ContinueProcessing = false; }

void TAudioIO::RecalcFormat() {
  FWaveFmtEx.nBlockAlign = static_cast<uint16_t>((FWaveFmtEx.wBitsPerSample / 8) * FWaveFmtEx.nChannels);
  FWaveFmtEx.nAvgBytesPerSec = FWaveFmtEx.nSamplesPerSec * FWaveFmtEx.nBlockAlign;
  FBufferSize = FRequestedBufferSize - FRequestedBufferSize % FWaveFmtEx.nBlockAlign;
}

void TAudioIO::InitHeaders() {
  RecalcFormat();
  for (int i = 0; i < FNumBuffers; ++i) {
    WaveHdr[i] = TWaveHdr{};
    WaveHdr[i].lpData = WaveBuffer[i].get();
    WaveHdr[i].dwBufferLength = static_cast<uint32_t>(FBufferSize);
  }
}

bool TAudioIO::AllocBuffers() {
  for (int i = 0; i < FNumBuffers; ++i) {
    WaveBuffer[i].reset(new (std::nothrow) uint8_t[static_cast<size_t>(FBufferSize)]);
    if (!WaveBuffer[i]) {
      ErrorMessage = "Error allocating wave buffer memory";
      FreeBuffers();
      return false;
    }
    WaveHdr[i].lpData = WaveBuffer[i].get();
  }
  FAllocatedSize = FBufferSize;
  FAllocatedCount = FNumBuffers;
  return true;
}

bool TAudioIO::FreeBuffers() {
  bool freed = false;
  for (auto& buffer : WaveBuffer) {
    freed = freed || buffer != nullptr;
    buffer.reset();
  }
  for (auto& header : WaveHdr) header.lpData = nullptr;
  FAllocatedSize = 0;
  FAllocatedCount = 0;
  return freed;
}

bool TAudioIO::BuffersFit() const { return FAllocatedCount >= FNumBuffers && FAllocatedSize >= FBufferSize; }
