#pragma once
// A server that a test starts for itself (a bus daemon, an X server) and
// ends with it. The server tells where it listens in the first line it
// writes to its standard output.

#include <string>
#include <sys/types.h>
#include <vector>

class TServerProcess {
public:
  /// Starts argv (found on PATH) with stderr discarded and reads the first
  /// line of its output; FirstLine() is empty when it could not start.
  explicit TServerProcess(const std::vector<std::string>& argv);
  /// Ends the server.
  ~TServerProcess();
  TServerProcess(const TServerProcess&) = delete;
  TServerProcess& operator=(const TServerProcess&) = delete;

  const std::string& FirstLine() const { return FFirstLine; }

private:
  pid_t FPid = -1;
  std::string FFirstLine;
};
