#include "persistence/RegFileStore.h"

#include "persistence/FileError.h"
#include "persistence/FileIO.h"
#include "persistence/RegFileFormat.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Far beyond any file the program writes; a larger one is damaged, and only
// its beginning is read.
constexpr size_t kMaxFileBytes = 1 << 20;

/// Creates every missing folder of the path's parent.
bool MakeParentFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    std::string folder = path.substr(0, slash);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

/// Holds an exclusive lock on a file while it lives.
class TFileLock {
public:
  explicit TFileLock(const std::string& path)
      : FFd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    while (FFd >= 0 && ::flock(FFd, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(FFd);
        FFd = -1;
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
    auto bytes = ReadRegularFile(FPath, kMaxFileBytes);
    return ParseRegFile({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  } catch (const TFileError&) {
    return std::nullopt;
  }
}

bool TRegFileStore::Merge(const TSettingsValues& changes) {
  if (!MakeParentFolders(FPath)) return false;
  TFileLock lock(FPath + ".lock");
  if (!lock.Held()) return false;
  TSettingsValues values = Read().value_or(TSettingsValues{});
  for (const auto& [name, value] : changes) values.insert_or_assign(name, value);
  std::string text = FormatRegFile(values);
  try {
    ReplaceFile(FPath, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  } catch (const TFileError&) {
    return false;
  }
  return true;
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
