#pragma once
// Writes a PCM WAV file through a buffer: the header, then the samples.
// Write failures do not throw; they stop the writer and are reported by
// WriteSample / Close, so the export loop stays free of exceptions.

#include "export/WavHeader.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <sys/types.h>

/// The text shown when a WAV file could not be written.
inline constexpr char kWavWriteErrorText[] = "File Access Error, cannot write file.";

class TWavFileWriter {
public:
  static constexpr size_t BufferBytes = 64 * 1024;

  /// Refuses a frame count beyond MaxWavFrames with std::length_error
  /// (WavTooLongMessage) before touching the file; then creates or replaces
  /// the file, throwing TFileError ("Cannot create file") when it cannot,
  /// and buffers the header for frameCount frames.
  TWavFileWriter(const std::string& path, const TWavFormat& format, uint64_t frameCount);
  /// Closes the file if still open; the bytes written so far stay.
  ~TWavFileWriter();
  TWavFileWriter(const TWavFileWriter&) = delete;
  TWavFileWriter& operator=(const TWavFileWriter&) = delete;

  /// Appends one sample in the format's width: its lowest bytes, least
  /// significant first. False once any write has failed.
  bool WriteSample(int32_t sample) noexcept;
  /// Appends bytes of samples already in their stored form.
  bool WriteBytes(std::span<const uint8_t> bytes) noexcept;
  /// Writes what is buffered and closes the file; false when any write or the
  /// close failed.
  bool Close() noexcept;
  /// Closes the file and deletes it, but only when it is a regular file that
  /// this writer created or replaced: never a device such as /dev/null.
  void Discard() noexcept;

  bool Failed() const noexcept { return FFailed; }
  /// The system error number of the first failure (0 when none).
  int Errno() const noexcept { return FErrno; }

private:
  bool Flush() noexcept;
  void Fail(int errorNumber) noexcept;

  std::string FPath;
  uint16_t FBytesPerSample;
  int FFd = -1;
  bool FIsRegularFile = false;
  dev_t FDevice = 0;
  ino_t FInode = 0;
  std::unique_ptr<uint8_t[]> FBuffer;
  size_t FUsed = 0;
  bool FFailed = false;
  int FErrno = 0;
};
