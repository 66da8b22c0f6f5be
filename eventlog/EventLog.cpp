#include "eventlog/EventLog.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <utility>

namespace {

/// An open descriptor, closed (and its lock released) when it goes.
class TFileHandle {
public:
  explicit TFileHandle(int fd) : FFd(fd) {}
  ~TFileHandle() {
    if (FFd >= 0) close(FFd);
  }
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;
  int Fd() const { return FFd; }

private:
  int FFd;
};

std::string Reason(const std::string& what, const std::filesystem::path& file) {
  return what + " " + file.string() + ": " + std::strerror(errno);
}

}  // namespace

TEventLog::TEventLog(std::filesystem::path file, uint64_t rotateBytes, int64_t pid, std::function<TLogTime()> now)
    : FFile(std::move(file)), FRotateBytes(rotateBytes), FPid(pid), FNow(std::move(now)) {}

std::filesystem::path TEventLog::DefaultFile() {
  const char* state = std::getenv("XDG_STATE_HOME");
  std::filesystem::path base;
  if (state != nullptr && std::filesystem::path(state).is_absolute()) {
    base = state;
  } else {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home != nullptr ? home : "/tmp") / ".local" / "state";
  }
  return base / "zephyra" / "events.jsonl";
}

std::filesystem::path TEventLog::RotatedFile(const std::filesystem::path& file) {
  return file.parent_path() / (file.stem().string() + ".1" + file.extension().string());
}

int64_t TEventLog::ProcessId() { return static_cast<int64_t>(getpid()); }

void TEventLog::Started(const std::string& device, int32_t rate, int32_t channels, int32_t bits, int32_t buffers,
                        int32_t bufferBytes) {
  Append({{}, 0, "start", device,
          {{"rate", int64_t{rate}},
           {"channels", int64_t{channels}},
           {"bits", int64_t{bits}},
           {"buffers", int64_t{buffers}},
           {"buffer_bytes", int64_t{bufferBytes}}}});
}

void TEventLog::Stopped(const std::string& device, const std::string& reason, int64_t dropouts, double dropoutMs,
                        const std::string& error) {
  TLogEvent event{{}, 0, "stop", device, {{"reason", reason}, {"dropouts", dropouts}, {"dropout_ms", dropoutMs}}};
  if (!error.empty()) event.Fields.push_back({"error", error});
  Append(std::move(event));
}

void TEventLog::Dropout(const std::string& device, int64_t count, double lengthMs, int64_t totalCount,
                        double totalMs) {
  Append({{}, 0, "dropout", device,
          {{"count", count}, {"ms", lengthMs}, {"total_count", totalCount}, {"total_ms", totalMs}}});
}

void TEventLog::DeviceLost(const std::string& device, TLogTime lostAt) {
  Append({lostAt, 0, "device-lost", device, {}});
}

void TEventLog::DeviceBack(const std::string& device, TLogTime backAt, double lostMs) {
  Append({backAt, 0, "device-back", device, {{"lost_ms", lostMs}}});
}

void TEventLog::ClippingEpisode(const std::string& device, int64_t clippedSamples, int64_t buffers,
                                double lengthMs) {
  Append({{}, 0, "clipping", device, {{"samples", clippedSamples}, {"buffers", buffers}, {"ms", lengthMs}}});
}

void TEventLog::PerformanceStopped(const std::string& device) { Append({{}, 0, "performance-stop", device, {}}); }

bool TEventLog::Append(TLogEvent event) {
  event.Pid = FPid;
  if (event.Time == TLogTime{}) event.Time = FNow();
  const std::string failure = Write(JsonLine(event));
  FThisRun.push_back(std::move(event));
  if (!failure.empty() && !std::exchange(FFailureSaid, true))
    std::cerr << "Event log: " << failure << "; events are kept in the Event Log window only\n";
  if (OnAppended) OnAppended();
  return failure.empty();
}

std::string TEventLog::Write(const std::string& line) const {
  if (FFile.empty()) return {};
  std::error_code ignored;
  std::filesystem::create_directories(FFile.parent_path(), ignored);
  // A file renamed by another instance while this one waited for its lock
  // is left behind; three rounds cover any realistic contention.
  for (int round = 0; round < 3; ++round) {
    TFileHandle file(open(FFile.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (file.Fd() < 0) return Reason("cannot open", FFile);
    if (flock(file.Fd(), LOCK_EX) != 0) return Reason("cannot lock", FFile);
    struct stat opened{}, named{};
    if (fstat(file.Fd(), &opened) != 0) return Reason("cannot read the size of", FFile);
    if (stat(FFile.c_str(), &named) != 0 || named.st_ino != opened.st_ino || named.st_dev != opened.st_dev)
      continue;  // rotated meanwhile
    if (opened.st_size > 0 && static_cast<uint64_t>(opened.st_size) >= FRotateBytes) {
      if (rename(FFile.c_str(), RotatedFile(FFile).c_str()) != 0) return Reason("cannot rotate", FFile);
      continue;
    }
    const ssize_t written = ::write(file.Fd(), line.data(), line.size());
    if (written < 0) return Reason("cannot write", FFile);
    if (static_cast<size_t>(written) != line.size()) return "short write to " + FFile.string();
    return {};
  }
  return "the file " + FFile.string() + " kept changing under the lock";
}
