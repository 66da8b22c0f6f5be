#include "export/WavFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

namespace {

// The disk writes the file while the rest is rendered, a few blocks behind,
// instead of all of it at the close.
constexpr uint64_t kWriteBackBytes = 1 << 20;

}  // namespace

TWavFileWriter::TWavFileWriter(const std::string& path, const TWavFormat& format, uint64_t frameCount)
    : FBytesPerSample(format.BytesPerSample) {
  if (frameCount > MaxWavFrames(format)) throw std::length_error(WavTooLongMessage(format));
  FFile.emplace(path);
  FBuffer = std::make_unique<uint8_t[]>(BufferBytes);
  WriteBytes(WavHeader(format, frameCount));
}

bool TWavFileWriter::WriteSample(int32_t sample) noexcept {
  if (FUsed + sizeof(sample) > BufferBytes && !Flush()) return false;
  auto raw = static_cast<uint32_t>(sample);
  for (size_t i = 0; i < FBytesPerSample; ++i) FBuffer[FUsed++] = static_cast<uint8_t>(raw >> (8 * i));
  return !FFailed;
}

bool TWavFileWriter::WriteBytes(std::span<const uint8_t> bytes) noexcept {
  // A long run goes to the file straight from where it is, without a copy.
  if (bytes.size() >= BufferBytes / 4) {
    if (FUsed > 0 && !Flush()) return false;
    return WriteOut(bytes);
  }
  while (!bytes.empty()) {
    if (FUsed == BufferBytes && !Flush()) return false;
    size_t count = std::min(bytes.size(), BufferBytes - FUsed);
    std::memcpy(FBuffer.get() + FUsed, bytes.data(), count);
    FUsed += count;
    bytes = bytes.subspan(count);
  }
  return !FFailed;
}

bool TWavFileWriter::Flush() noexcept {
  WriteOut({FBuffer.get(), FUsed});
  FUsed = 0;
  return !FFailed;
}

bool TWavFileWriter::WriteOut(std::span<const uint8_t> bytes) noexcept {
  size_t done = 0;
  while (!FFailed && FFile && done < bytes.size()) {
    ssize_t n = ::write(FFile->Fd(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail(n == 0 ? EIO : errno);
    else done += static_cast<size_t>(n);
  }
  if (FWritten / kWriteBackBytes != (FWritten + done) / kWriteBackBytes && FFile)
    FFile->StartWriteBack(static_cast<off_t>(FWritten + done));
  FWritten += done;
  return !FFailed;
}

void TWavFileWriter::Fail(int errorNumber) noexcept {
  if (!FFailed) FErrno = errorNumber;
  FFailed = true;
}

bool TWavFileWriter::Close() noexcept {
  if (!FFile) return !FFailed;
  if (FUsed > 0) Flush();
  if (!FFailed) {
    if (int error = FFile->Commit()) Fail(error);
  }
  FFile.reset();  // a failed file is discarded here
  return !FFailed;
}

void TWavFileWriter::Discard() noexcept {
  FUsed = 0;
  FFile.reset();
}
