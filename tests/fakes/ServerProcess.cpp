#include "tests/fakes/ServerProcess.h"

#include "tests/fakes/SpawnArguments.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

TServerProcess::TServerProcess(const std::vector<std::string>& argv) {
  int out[2];
  if (argv.empty() || pipe2(out, O_CLOEXEC) != 0) return;
  TSpawnArguments args(argv);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  // Its notes (an fd limit it may not raise, ...) are no concern of the tests.
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int failed = posix_spawnp(&FPid, args.File(), &actions, nullptr, args.Argv(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (failed != 0) {
    FPid = -1;
    close(out[0]);
    return;
  }
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n') FFirstLine += c;
  close(out[0]);
}

TServerProcess::~TServerProcess() {
  if (FPid <= 0) return;
  kill(FPid, SIGTERM);
  waitpid(FPid, nullptr, 0);
}
