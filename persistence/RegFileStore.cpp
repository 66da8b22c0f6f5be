#include "persistence/RegFileStore.h"

#include "persistence/FileError.h"
#include "persistence/FileIO.h"
#include "persistence/RegFileFormat.h"
#include "persistence/Utf8.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Far beyond any file the program writes; a larger one is not a settings file
// the store can keep, and is left alone.
constexpr size_t kMaxFileBytes = 1 << 20;

/// The settings file's text; nothing when there is no such file. Throws
/// TFileError when a file is there but cannot be read as a whole: no
/// permission, not a regular file, too large, or not UTF-8 text.
std::optional<std::string> ReadSettingsText(const std::string& path) {
  std::vector<uint8_t> bytes;
  try {
    bytes = ReadRegularFile(path, kMaxFileBytes + 1);
  } catch (const TFileError& e) {
    if (e.Errno() == ENOENT || e.Errno() == ENOTDIR) return std::nullopt;
    throw;
  }
  if (bytes.size() > kMaxFileBytes) throw CannotOpenFile(path, EFBIG);
  std::string text(bytes.begin(), bytes.end());
  if (text.find('\0') != std::string::npos || !IsValidUtf8(text)) throw CannotOpenFile(path, EILSEQ);
  return text;
}

/// Creates every missing folder of the path's parent.
bool MakeParentFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    std::string folder = path.substr(0, slash);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

/// Holds an exclusive lock on a file while it lives. Another instance holds
/// the lock only for a read and a write; one that does not let go within
/// kLockPatience is stuck, and waiting for it would freeze this one too.
class TFileLock {
public:
  static constexpr auto kLockPatience = std::chrono::seconds(5);

  explicit TFileLock(const std::string& path)
      : FFd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600)) {
    const auto giveUp = std::chrono::steady_clock::now() + kLockPatience;
    while (FFd >= 0 && ::flock(FFd, LOCK_EX | LOCK_NB) != 0) {
      if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > giveUp) {
        ::close(FFd);
        FFd = -1;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    }
  }
  ~TFileLock() {
    if (FFd >= 0) ::close(FFd);
  }
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;
  bool Held() const { return FFd >= 0; }

private:
  int FFd;
};

}  // namespace

TRegFileStore::TRegFileStore(std::string path) : FPath(std::move(path)) {}

bool TRegFileStore::KeyExists() { return Read().has_value(); }

std::optional<TSettingsValues> TRegFileStore::Read() {
  // The file is only ever replaced whole, so reading needs no lock.
  try {
    auto text = ReadSettingsText(FPath);
    if (!text) return std::nullopt;
    return TRegDocument(*text).Values();
  } catch (const TFileError& e) {
    KeepFile(e);
    return std::nullopt;
  }
}

bool TRegFileStore::Merge(const TSettingsValues& changes) {
  if (!MakeParentFolders(FPath)) return false;
  TFileLock lock(FPath + ".lock");
  if (!lock.Held()) return false;
  std::optional<std::string> old;
  try {
    old = ReadSettingsText(FPath);
  } catch (const TFileError& e) {
    // What cannot be read in full is never overwritten: nothing stored is lost.
    KeepFile(e);
    return false;
  }
  FKeptFileReport.clear();
  TRegDocument document(old.value_or(""));
  document.Set(changes);
  std::string text = document.Text();
  try {
    ReplaceFile(FPath, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  } catch (const TFileError&) {
    return false;
  }
  return true;
}

void TRegFileStore::KeepFile(const TFileError& error) {
  FKeptFileReport = std::string(error.what()) +
                    "\nThe settings file was left as it is; the settings of this run were not stored.";
}

std::string DefaultSettingsFilePath() {
  std::string base;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
      const passwd* user = ::getpwuid(::getuid());
      home = user != nullptr ? user->pw_dir : "/tmp";
    }
    base = std::string(home) + "/.config";
  }
  return base + "/Vellacor/Zephyra.reg";
}
