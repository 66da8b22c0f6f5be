#pragma once
// Writes a PCM WAV file through a buffer: the header, then the samples.
// Write failures do not throw; they stop the writer and are reported by
// WriteSample / Close, so the export loop stays free of exceptions. The file
// is written as a replacement (persistence/FileIO.h): an existing file keeps
// its old contents until Close succeeds, and for ever after a failure or
// Discard.

#include "export/WavHeader.h"
#include "persistence/FileIO.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

/// The text shown when a WAV file could not be written.
inline constexpr char kWavWriteErrorText[] = "File Access Error, cannot write file.";

class TWavFileWriter {
public:
  static constexpr size_t BufferBytes = 64 * 1024;

  /// Refuses a frame count beyond MaxWavFrames with std::length_error
  /// (WavTooLongMessage) before touching the file; then creates or replaces
  /// the replacement of the file, throwing TFileError ("Cannot create file")
  /// when it cannot, and buffers the header for frameCount frames.
  TWavFileWriter(const std::string& path, const TWavFormat& format, uint64_t frameCount);
  /// Discards what was not closed: an unfinished file never replaces the old one.
  ~TWavFileWriter() = default;
  TWavFileWriter(const TWavFileWriter&) = delete;
  TWavFileWriter& operator=(const TWavFileWriter&) = delete;

  /// Appends one sample in the format's width: its lowest bytes, least
  /// significant first. False once any write has failed.
  bool WriteSample(int32_t sample) noexcept;
  /// Appends bytes of samples already in their stored form.
  bool WriteBytes(std::span<const uint8_t> bytes) noexcept;
  /// Writes what is buffered and puts the file in place; false when any write
  /// or the close failed, and then the old file (if any) is still there.
  bool Close() noexcept;
  /// Drops what was written; an existing file keeps its old contents, and a
  /// device such as /dev/null is left alone.
  void Discard() noexcept;

  bool Failed() const noexcept { return FFailed; }
  /// The system error number of the first failure (0 when none).
  int Errno() const noexcept { return FErrno; }

private:
  bool Flush() noexcept;
  /// Writes `bytes` to the file; a failure is kept for Close.
  bool WriteOut(std::span<const uint8_t> bytes) noexcept;
  void Fail(int errorNumber) noexcept;

  uint16_t FBytesPerSample;
  std::optional<TFileReplacement> FFile;  // empty once closed or discarded
  std::unique_ptr<uint8_t[]> FBuffer;
  size_t FUsed = 0;
  uint64_t FWritten = 0;  // bytes in the file
  bool FFailed = false;
  int FErrno = 0;
};
