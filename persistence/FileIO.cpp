#include "persistence/FileIO.h"

#include "persistence/FileError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

/// Closes a descriptor when it goes out of scope, unless released.
class TFdGuard {
public:
  explicit TFdGuard(int fd) : FFd(fd) {}
  ~TFdGuard() { if (FFd >= 0) ::close(FFd); }
  TFdGuard(const TFdGuard&) = delete;
  TFdGuard& operator=(const TFdGuard&) = delete;
  int Get() const { return FFd; }
  int Release() {
    int fd = FFd;
    FFd = -1;
    return fd;
  }

private:
  int FFd;
};

/// Writes every byte, retrying short writes; false with errno set on failure.
bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

/// The path that a chain of symbolic links ends at (the path itself when it
/// is no link); a dangling link gives the name the file will be created as.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    char link[PATH_MAX];
    ssize_t n = ::readlink(path.c_str(), link, sizeof link);
    if (n < 0 || n == static_cast<ssize_t>(sizeof link)) return path;
    std::string next(link, static_cast<size_t>(n));
    path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
  }
  return path;  // a loop: the open reports it
}

mode_t NewFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

/// Opens an existing file for writing without waiting on it (a pipe without
/// a reader fails at once) and without changing it; -1 with errno set.
int OpenExistingForWriting(const std::string& path, struct stat& info) {
  TFdGuard fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.Get() < 0) return -1;
  if (::fstat(fd.Get(), &info) != 0) return -1;
  return fd.Release();
}

}  // namespace

int OpenRegularFile(const std::string& path) {
  // Non-blocking open, so that a named pipe is refused instead of waited on.
  TFdGuard fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.Get() < 0) throw CannotOpenFile(path, errno);
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) throw CannotOpenFile(path, errno);
  if (S_ISDIR(info.st_mode)) throw CannotOpenFile(path, EISDIR);
  if (!S_ISREG(info.st_mode)) throw CannotOpenFile(path, ENODEV);
  return fd.Release();
}

bool IsExistingRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<uint8_t> ReadRegularFile(const std::string& path, size_t maxBytes) {
  TFdGuard fd(OpenRegularFile(path));
  std::vector<uint8_t> bytes(maxBytes);
  size_t done = 0;
  while (done < maxBytes) {
    ssize_t n = ::read(fd.Get(), bytes.data() + done, maxBytes - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw CannotOpenFile(path, errno);
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

TFileReplacement::TFileReplacement(const std::string& path) : FTarget(FollowLinks(path)) {
  mode_t mode = NewFileMode();
  struct stat info {};
  bool exists = ::stat(FTarget.c_str(), &info) == 0;
  if (exists) {
    if (S_ISDIR(info.st_mode)) throw CannotCreateFile(path, EISDIR);
    if (!S_ISREG(info.st_mode) && !S_ISCHR(info.st_mode)) throw CannotCreateFile(path, ENODEV);
    // Opening for writing is the test of the right to change the file: a
    // write-protected file is refused here even though its folder would let
    // a rename replace it.
    TFdGuard existing(OpenExistingForWriting(FTarget, info));
    if (existing.Get() < 0) throw CannotCreateFile(path, errno);
    if (S_ISCHR(info.st_mode)) {
      if (::fcntl(existing.Get(), F_SETFL, 0) != 0) throw CannotCreateFile(path, errno);
      FFd = existing.Release();
      return;
    }
    if (!S_ISREG(info.st_mode)) throw CannotCreateFile(path, ENODEV);
    mode = info.st_mode & 07777;
  }
  FTemporary = FolderOf(FTarget) + "/.zephyra-XXXXXX";
  TFdGuard temp(::mkostemp(FTemporary.data(), O_CLOEXEC));
  if (temp.Get() < 0) {
    FTemporary.clear();
    throw CannotCreateFile(path, errno);
  }
  // The owner is kept where the system allows it (an administrator saving a user's file).
  if (exists && ::fchown(temp.Get(), info.st_uid, info.st_gid) != 0) {
    // Not allowed for an ordinary user; the file is then the saver's.
  }
  if (::fchmod(temp.Get(), mode) != 0) {
    int error = errno;
    ::unlink(FTemporary.c_str());
    FTemporary.clear();
    throw CannotCreateFile(path, error);
  }
  FFd = temp.Release();
}

TFileReplacement::~TFileReplacement() { Discard(); }

void TFileReplacement::StartWriteBack(off_t bytes) noexcept {
  if (FTemporary.empty() || FFd < 0 || bytes <= FWrittenBack) return;
  // Only a hint: a failure here shows again at Commit, whose flush counts.
  ::sync_file_range(FFd, FWrittenBack, bytes - FWrittenBack, SYNC_FILE_RANGE_WRITE);
  FWrittenBack = bytes;
}

int TFileReplacement::Commit() noexcept {
  if (FFd < 0) return EBADF;
  int error = 0;
  if (!FTemporary.empty() && ::fsync(FFd) != 0) error = errno;
  if (::close(FFd) != 0 && error == 0) error = errno;
  FFd = -1;
  if (FTemporary.empty()) return error;
  if (error == 0 && ::rename(FTemporary.c_str(), FTarget.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(FTemporary.c_str());
    FTemporary.clear();
    return error;
  }
  FTemporary.clear();
  // Make the rename itself durable; the new contents are complete either way.
  TFdGuard dir(::open(FolderOf(FTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() >= 0) ::fsync(dir.Get());
  return 0;
}

void TFileReplacement::Discard() noexcept {
  if (FFd >= 0) ::close(FFd);
  FFd = -1;
  if (!FTemporary.empty()) ::unlink(FTemporary.c_str());
  FTemporary.clear();
}

void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes) {
  TFileReplacement file(path);
  if (!WriteAll(file.Fd(), bytes)) throw CannotCreateFile(path, errno);
  if (int error = file.Commit()) throw CannotCreateFile(path, error);
}
