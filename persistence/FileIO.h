#pragma once
// Whole-file reads and safe file replacement. No call here can block on a
// named pipe or other special file: reads take regular files only, writes
// take regular files and character devices (such as /dev/null) only.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <sys/types.h>
#include <vector>

/// Opens a regular file for reading without waiting on it (a named pipe is
/// refused, not waited on); the caller closes the descriptor. Throws TFileError
/// ("Cannot open file") when it is missing, unreadable or not a regular file.
int OpenRegularFile(const std::string& path);

/// path names an existing regular file (links followed); a folder does not count.
bool IsExistingRegularFile(const std::string& path);

/// Reads at most maxBytes from the start of a regular file; throws TFileError
/// ("Cannot open file") when it is missing, unreadable or not a regular file.
std::vector<uint8_t> ReadRegularFile(const std::string& path, size_t maxBytes);

/// The new contents of a file while they are being written. For a regular
/// file (or a name that does not exist yet) they go to a temporary file in
/// the target's folder, which Commit renames over the target: until then, and
/// for ever when the replacement is discarded, the old file stays byte for
/// byte. A symbolic link is followed to its target, and a replaced file keeps
/// its permission bits. A character device is written in place. A file the
/// user may not write is never replaced, and any other kind of file (a named
/// pipe, a socket, a folder) is refused without waiting on it.
class TFileReplacement {
public:
  /// Throws TFileError ("Cannot create file") when path cannot be replaced.
  explicit TFileReplacement(const std::string& path);
  /// Discards what has not been committed.
  ~TFileReplacement();
  TFileReplacement(const TFileReplacement&) = delete;
  TFileReplacement& operator=(const TFileReplacement&) = delete;

  /// The descriptor to write the new contents to (blocking writes).
  int Fd() const noexcept { return FFd; }
  /// Starts writing the first `bytes` bytes of the new contents to the disk
  /// without waiting, so that Commit has less to wait for.
  void StartWriteBack(off_t bytes) noexcept;
  /// Flushes and closes the new contents and puts them in the target's place.
  /// Returns 0, or the system error number of the first step that failed;
  /// after a failure the old file is still there, untouched.
  int Commit() noexcept;
  /// Drops the new contents: the temporary file is removed, the target kept.
  void Discard() noexcept;

private:
  std::string FTarget;     // the file to replace, links followed
  std::string FTemporary;  // empty when writing in place
  int FFd = -1;
  off_t FWrittenBack = 0;  // bytes whose write-back has been started
};

/// Replaces the file's contents with bytes as TFileReplacement does. Throws
/// TFileError ("Cannot create file") on any failure.
void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes);
