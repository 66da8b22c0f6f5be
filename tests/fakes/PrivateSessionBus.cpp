#include "tests/fakes/PrivateSessionBus.h"

#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

TPrivateSessionBus::TPrivateSessionBus() {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  // Its notes (an fd limit it may not raise) are no concern of the tests.
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  char program[] = "dbus-daemon";
  char session[] = "--session";
  char nofork[] = "--nofork";
  char print[] = "--print-address=1";
  char* argv[] = {program, session, nofork, print, nullptr};
  const int failed = posix_spawnp(&FPid, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (failed != 0) {
    FPid = -1;
    close(out[0]);
    return;
  }
  // The daemon prints its address as one line once it listens.
  char c;
  std::string line;
  while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
  close(out[0]);
  FAddress = line;
}

TPrivateSessionBus::~TPrivateSessionBus() {
  if (FPid <= 0) return;
  kill(FPid, SIGTERM);
  waitpid(FPid, nullptr, 0);
}
