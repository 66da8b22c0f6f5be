#include "tests/fakes/SoundServer.h"

#include "tests/fakes/SpawnArguments.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {
std::string NullSinkArgs(uint32_t rate) {
  return "module-null-sink sink_name=zsink sink_properties=device.description=Zephyra-Test-Sink rate=" +
         std::to_string(rate) + " channels=2";
}
}  // namespace

TSoundServer::TSoundServer(TKind kind, uint32_t rate) : FKind(kind), FRate(rate) {
  std::string pattern = (std::filesystem::temp_directory_path() / "zephyra-server-XXXXXX").string();
  FDir = ::mkdtemp(pattern.data());
  mkdir((FDir + "/run").c_str(), 0700);
  setenv("XDG_RUNTIME_DIR", (FDir + "/run").c_str(), 1);
  setenv("PULSE_SERVER", ("unix:" + FDir + "/run/pulse/native").c_str(), 1);
  setenv("HOME", FDir.c_str(), 1);
  if (!FBus.Address().empty()) setenv("DBUS_SESSION_BUS_ADDRESS", FBus.Address().c_str(), 1);  // the server's and clients' own files stay in the folder
  std::ofstream(FDir + "/default.pa") << "load-module module-native-protocol-unix auth-anonymous=1\n"
                                      << "load-module " << NullSinkArgs(rate) << "\nset-default-sink zsink\n";
  if (!Start()) FWhy = "the sound server did not start (see " + FDir + "/*.log)";
}

TSoundServer::~TSoundServer() {
  Kill();
  std::error_code ignored;
  std::filesystem::remove_all(FDir, ignored);
}

pid_t TSoundServer::Spawn(const std::vector<std::string>& argv, const std::string& log) {
  TSpawnArguments args(argv);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args.File(), &actions, nullptr, args.Argv(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

bool TSoundServer::Start() {
  const std::vector<std::vector<std::string>> programs =
      FKind == TKind::PulseAudio
          ? std::vector<std::vector<std::string>>{{"pulseaudio", "-n", "-F", FDir + "/default.pa", "--daemonize=no",
                                                   "--exit-idle-time=-1", "--disallow-exit"}}
          : std::vector<std::vector<std::string>>{{"pipewire"}, {"wireplumber"}, {"pipewire-pulse"}};
  for (const auto& argv : programs) {
    const pid_t pid = Spawn(argv, FDir + "/" + argv[0] + ".log");
    if (pid <= 0) return false;
    FPids.push_back(pid);
    if (argv[0] == "pipewire") std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
  while (!Answers())
    if (std::chrono::steady_clock::now() > deadline) return false;
    else std::this_thread::sleep_for(std::chrono::milliseconds(100));
  if (FKind == TKind::PipeWire) AddSink();
  return true;
}

bool TSoundServer::Answers() const { return Pactl("info").find("Server Name") != std::string::npos; }

void TSoundServer::Kill() {
  for (pid_t pid : FPids) kill(pid, SIGCONT), kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
  FPids.clear();
  // A killed server leaves its socket; a new one removes it.
}

void TSoundServer::Signal(int signal) {
  for (pid_t pid : FPids) kill(pid, signal);
}

std::string TSoundServer::Pactl(const std::string& args) const {
  std::string out;
  FILE* pipe = popen(("timeout 5 pactl " + args + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return out;
  char chunk[512];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
  return pclose(pipe) == 0 ? out : std::string();
}

void TSoundServer::RemoveSink() {
  const std::string modules = Pactl("list short modules");
  for (size_t at = modules.find("module-null-sink"); at != std::string::npos;
       at = modules.find("module-null-sink", at + 1)) {
    const size_t line = modules.rfind('\n', at);
    const std::string id = modules.substr(line == std::string::npos ? 0 : line + 1);
    Pactl("unload-module " + id.substr(0, id.find_first_of(" \t")));
  }
}

void TSoundServer::AddSink() {
  Pactl("load-module " + NullSinkArgs(FRate));
  Pactl("set-default-sink zsink");
}

std::string TSoundServer::SinkDescription() const { return "Zephyra-Test-Sink"; }

TMonitorRecording::TMonitorRecording(const std::string& file, uint32_t rate, const std::string& source,
                                     const std::string& channelMap)
    : FFile(file) {
  const auto channels = 1 + std::count(channelMap.begin(), channelMap.end(), ',');
  // The recording's map is the sink's own, so that the server remixes nothing on the way.
  TSpawnArguments args({"parec", "-d", source, "--rate=" + std::to_string(rate),
                        "--channels=" + std::to_string(channels), "--channel-map=" + channelMap, "--format=s16le",
                        "--raw", "--latency-msec=20", file});
  if (posix_spawnp(&FPid, args.File(), nullptr, nullptr, args.Argv(), environ) != 0) FPid = -1;
}

TMonitorRecording::~TMonitorRecording() { Stop(); }

std::vector<int16_t> TMonitorRecording::Stop() {
  if (FPid > 0) {
    kill(FPid, SIGINT);
    waitpid(FPid, nullptr, 0);
    FPid = -1;
  }
  std::ifstream in(FFile, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

TRecordedGaps GapsIn(const std::vector<int16_t>& samples, uint32_t rate, int64_t minFrames) {
  TRecordedGaps gaps;
  const int64_t frames = static_cast<int64_t>(samples.size() / 2);
  auto silent = [&](int64_t f) { return samples[2 * f] == 0 && samples[2 * f + 1] == 0; };
  int64_t first = 0, last = frames - 1;
  while (first < frames && silent(first)) ++first;
  while (last >= first && silent(last)) --last;
  int64_t run = 0;
  for (int64_t f = first; f <= last; ++f) {
    if (!silent(f)) {
      ++gaps.SoundFrames;
      if (run >= minFrames) ++gaps.Count, gaps.Milliseconds += run * 1000.0 / rate;
      run = 0;
    } else {
      ++run;
    }
  }
  return gaps;
}
