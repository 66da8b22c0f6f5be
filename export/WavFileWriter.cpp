#include "export/WavFileWriter.h"

#include "persistence/FileError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

TWavFileWriter::TWavFileWriter(const std::string& path, const TWavFormat& format, uint64_t frameCount)
    : FPath(path), FBytesPerSample(format.BytesPerSample) {
  if (frameCount > MaxWavFrames(format)) throw std::length_error(WavTooLongMessage(format));
  // Non-blocking open, so that a pipe without a reader fails instead of hanging.
  FFd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (FFd < 0) throw CannotCreateFile(path, errno);
  struct stat info {};
  if (::fcntl(FFd, F_SETFL, 0) != 0 || ::fstat(FFd, &info) != 0) {
    int error = errno;
    ::close(FFd);
    throw CannotCreateFile(path, error);
  }
  FIsRegularFile = S_ISREG(info.st_mode);
  FDevice = info.st_dev;
  FInode = info.st_ino;
  FBuffer = std::make_unique<uint8_t[]>(BufferBytes);
  WriteBytes(WavHeader(format, frameCount));
}

TWavFileWriter::~TWavFileWriter() {
  if (FFd >= 0) Close();
}

bool TWavFileWriter::WriteSample(int32_t sample) noexcept {
  if (FUsed + sizeof(sample) > BufferBytes && !Flush()) return false;
  auto raw = static_cast<uint32_t>(sample);
  for (size_t i = 0; i < FBytesPerSample; ++i) FBuffer[FUsed++] = static_cast<uint8_t>(raw >> (8 * i));
  return !FFailed;
}

bool TWavFileWriter::WriteBytes(std::span<const uint8_t> bytes) noexcept {
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
  size_t done = 0;
  while (!FFailed && done < FUsed) {
    ssize_t n = ::write(FFd, FBuffer.get() + done, FUsed - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail(n == 0 ? EIO : errno);
    else done += static_cast<size_t>(n);
  }
  FUsed = 0;
  return !FFailed;
}

void TWavFileWriter::Fail(int errorNumber) noexcept {
  if (!FFailed) FErrno = errorNumber;
  FFailed = true;
}

bool TWavFileWriter::Close() noexcept {
  if (FFd < 0) return !FFailed;
  if (FUsed > 0) Flush();
  if (::close(FFd) != 0) Fail(errno);
  FFd = -1;
  return !FFailed;
}

void TWavFileWriter::Discard() noexcept {
  if (FFd >= 0) {
    ::close(FFd);
    FFd = -1;
  }
  FUsed = 0;
  // Delete only if the name still leads to the very file this writer made.
  struct stat info {};
  if (FIsRegularFile && ::lstat(FPath.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
      info.st_dev == FDevice && info.st_ino == FInode)
    ::unlink(FPath.c_str());
}
