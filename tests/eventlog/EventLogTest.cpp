// The event log's lines, byte for byte, and its file shared by instances:
// rotation, and appends of several processes that never tear or lose a line.

#include "eventlog/EventLog.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>

namespace {

using namespace std::chrono;

// 2026-12-09T18:47:27.123Z
const TLogTime SomeTime = TLogTime{} + seconds{1796842047} + milliseconds{123};

std::vector<std::string> Lines(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class EventLogFile : public ::testing::Test {
protected:
  void SetUp() override {
    Folder = std::filesystem::temp_directory_path() / ("zephyra-eventlog-" + std::to_string(getpid()));
    std::filesystem::remove_all(Folder);
  }
  void TearDown() override { std::filesystem::remove_all(Folder); }
  std::filesystem::path Folder;
};

TEST(EventLine, EachEventIsOneJsonObjectOnOneLineWithItsTextsEscaped) {
  struct TCase {
    TLogEvent event;
    const char* line;
  };
  const TCase cases[] = {
      {{SomeTime, 4242, "start", "System Default", {{"rate", int64_t{48000}}, {"bits", int64_t{24}}}},
       R"({"time":"2026-12-09T18:47:27.123Z","pid":4242,"event":"start","device":"System Default","rate":48000,"bits":24})"},
      {{SomeTime, 7, "stop", "Desk \"A\" \\ B", {{"reason", std::string("end of signal")}, {"dropout_ms", 12.3456}}},
       R"({"time":"2026-12-09T18:47:27.123Z","pid":7,"event":"stop","device":"Desk \"A\" \\ B","reason":"end of signal","dropout_ms":12.346})"},
      {{SomeTime, 7, "dropout", "tab\there\nnew\x01\x7f", {{"ms", std::numeric_limits<double>::infinity()}}},
       R"({"time":"2026-12-09T18:47:27.123Z","pid":7,"event":"dropout","device":"tab\there\nnew\u0001\u007f","ms":null})"},
      {{SomeTime, 7, "device-lost", "Überlauf \xE2\x82\xAC \xFF\xC3 end \xED\xA0\x80", {}},
       "{\"time\":\"2026-12-09T18:47:27.123Z\",\"pid\":7,\"event\":\"device-lost\",\"device\":"
       "\"\xC3\x9C" "berlauf \xE2\x82\xAC \xEF\xBF\xBD\xEF\xBF\xBD end \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"}"},
      {{TLogTime{} + milliseconds{-1}, 1, "clipping", "", {}},
       R"({"time":"1969-12-31T23:59:59.999Z","pid":1,"event":"clipping","device":""})"},
  };
  for (const TCase& c : cases) EXPECT_EQ(JsonLine(c.event), std::string(c.line) + "\n");
}

TEST(EventLogPlace, TheFileIsUnderXdgStateHomeWhenAbsoluteElseUnderHome) {
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  const char* saved = std::getenv("XDG_STATE_HOME");
  const std::string savedState = saved ? saved : "";
  ::setenv("XDG_STATE_HOME", "/st", 1);
  EXPECT_EQ(TEventLog::DefaultFile(), "/st/zephyra/events.jsonl");
  ::setenv("XDG_STATE_HOME", "relative", 1);
  EXPECT_EQ(TEventLog::DefaultFile(), std::filesystem::path(home) / ".local/state/zephyra/events.jsonl");
  if (saved) ::setenv("XDG_STATE_HOME", savedState.c_str(), 1); else ::unsetenv("XDG_STATE_HOME");
  EXPECT_EQ(TEventLog::RotatedFile("/st/zephyra/events.jsonl"), "/st/zephyra/events.1.jsonl");
}

TEST_F(EventLogFile, TheFileIsMadeInItsFolderAndEachEntryPointAppendsItsLine) {
  TEventLog log(Folder / "zephyra" / "events.jsonl", TEventLog::RotateBytes, 99, [] { return SomeTime; });
  log.Started("Out", 44100, 2, 16, 4, 4096);
  log.DeviceLost("Out", SomeTime - seconds{2});
  log.DeviceBack("Out", SomeTime, 2000);
  log.Stopped("Out", "error", 1, 2000, "Device unavailable");
  const auto lines = Lines(log.File());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1], R"({"time":"2026-12-09T18:47:25.123Z","pid":99,"event":"device-lost","device":"Out"})");
  EXPECT_EQ(lines[2], R"({"time":"2026-12-09T18:47:27.123Z","pid":99,"event":"device-back","device":"Out","lost_ms":2000.000})");
  EXPECT_EQ(lines[3], R"({"time":"2026-12-09T18:47:27.123Z","pid":99,"event":"stop","device":"Out","reason":"error","dropouts":1,"dropout_ms":2000.000,"error":"Device unavailable"})");
  EXPECT_EQ(log.ThisRun().size(), 4u);
}

TEST_F(EventLogFile, AFileOfTenMegabytesIsRotatedBeforeTheNextLine) {
  const auto file = Folder / "events.jsonl";
  std::filesystem::create_directories(Folder);
  std::ofstream(Folder / "events.1.jsonl") << "oldest\n";
  std::ofstream(file) << "old\n";
  std::filesystem::resize_file(file, TEventLog::RotateBytes - 1);
  TEventLog log(file);
  log.PerformanceStopped("Out");
  EXPECT_EQ(std::filesystem::file_size(Folder / "events.1.jsonl"), 7u) << "rotated before the file was full";
  log.PerformanceStopped("Out");
  EXPECT_EQ(std::filesystem::file_size(Folder / "events.1.jsonl"),
            TEventLog::RotateBytes - 1 + JsonLine(log.ThisRun()[0]).size());
  ASSERT_EQ(Lines(file).size(), 1u);
  EXPECT_EQ(Lines(file)[0] + "\n", JsonLine(log.ThisRun()[1]));
}

TEST_F(EventLogFile, TwoProcessesAppendingAtOnceThroughARotationLoseAndTearNoLine) {
  // Each writer appends 1500 numbered lines; one rotation happens midway, so
  // the two files together hold every line.
  constexpr int PerWriter = 1500;
  const auto file = Folder / "events.jsonl";
  const uint64_t lineBytes = JsonLine({SomeTime, 1000000, "dropout", "Out", {{"n", int64_t{1000}}}}).size();
  const uint64_t limit = lineBytes * PerWriter * 3 / 2;
  pid_t writers[2];
  for (pid_t& writer : writers) {
    writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      TEventLog log(file, limit, 1000000 + getpid() % 1000, [] { return SomeTime; });
      for (int n = 0; n < PerWriter; ++n) log.Append({{}, 0, "dropout", "Out", {{"n", int64_t{1000} + n}}});
      _exit(0);
    }
  }
  const auto deadline = steady_clock::now() + seconds{60};
  for (pid_t writer : writers) {
    int status = 0;
    while (waitpid(writer, &status, WNOHANG) == 0 && steady_clock::now() < deadline) usleep(10000);
    if (steady_clock::now() >= deadline) kill(writer, SIGKILL);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer did not finish";
  }
  ASSERT_TRUE(std::filesystem::exists(Folder / "events.1.jsonl")) << "no rotation happened";
  std::map<std::string, int> next;  // pid -> next number expected
  for (const auto& part : {Folder / "events.1.jsonl", file})
    for (const std::string& line : Lines(part)) {
      const std::string pid = line.substr(line.find("\"pid\":") + 6, 7);
      ASSERT_EQ(line, JsonLine({SomeTime, std::stoll(pid), "dropout", "Out", {{"n", int64_t{1000} + next[pid]}}})
                          .substr(0, lineBytes - 1))
          << "a torn, mixed or missing line";
      ++next[pid];
    }
  ASSERT_EQ(next.size(), 2u);
  for (const auto& [pid, count] : next) EXPECT_EQ(count, PerWriter) << pid;
}

}  // namespace
