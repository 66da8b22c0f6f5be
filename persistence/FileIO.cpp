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
  /// Closes now and reports whether the close succeeded.
  bool Close() {
    int fd = FFd;
    FFd = -1;
    return ::close(fd) == 0;
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

mode_t NewFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

/// Writes into an existing device or pipe, which cannot be replaced by rename.
void WriteInPlace(const std::string& path, std::span<const uint8_t> bytes) {
  TFdGuard fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY));
  if (fd.Get() < 0 || !WriteAll(fd.Get(), bytes) || !fd.Close()) throw CannotCreateFile(path, errno);
}

/// Writes bytes to a new temporary file in folder; returns its path.
std::string WriteTemporary(const std::string& path, const std::string& folder, mode_t mode,
                           std::span<const uint8_t> bytes) {
  std::string temp = folder + "/.zephyra-XXXXXX";
  TFdGuard fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (fd.Get() < 0) throw CannotCreateFile(path, errno);
  bool written = ::fchmod(fd.Get(), mode) == 0 && WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
  int error = errno;
  if (!fd.Close() && written) {
    written = false;
    error = errno;
  }
  if (!written) {
    ::unlink(temp.c_str());
    throw CannotCreateFile(path, error);
  }
  return temp;
}

}  // namespace

std::vector<uint8_t> ReadRegularFile(const std::string& path, size_t maxBytes) {
  // Non-blocking open, so that a named pipe is refused instead of waited on.
  TFdGuard fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.Get() < 0) throw CannotOpenFile(path, errno);
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) throw CannotOpenFile(path, errno);
  if (S_ISDIR(info.st_mode)) throw CannotOpenFile(path, EISDIR);
  if (!S_ISREG(info.st_mode)) throw CannotOpenFile(path, ENODEV);

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

void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes) {
  std::string target = path;
  mode_t mode = NewFileMode();
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) throw CannotCreateFile(path, EISDIR);
    if (!S_ISREG(info.st_mode)) return WriteInPlace(path, bytes);
    mode = info.st_mode & 07777;
    // Replace what a link points to, not the link itself.
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) target = resolved;
  }
  std::string folder = FolderOf(target);
  std::string temp = WriteTemporary(path, folder, mode, bytes);
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    throw CannotCreateFile(path, error);
  }
  // Make the rename itself durable; the new contents are complete either way.
  TFdGuard dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() >= 0) ::fsync(dir.Get());
}
