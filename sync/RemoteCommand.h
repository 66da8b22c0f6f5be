#pragma once
// The command line of zephyra-remote: a message by number or by name, for
// every running generator or for the one with a given process id.
//   zephyra-remote [--pid PID] NUMBER [WPARAM [LPARAM]]
//   zephyra-remote [--pid PID] on | off | pause | duration 2.5 | recall 3 | ...
//   zephyra-remote status [--pid PID]   (also with --pid first)

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

struct TRemoteCommand {
  /// The one generator to address; none = every generator.
  std::optional<uint32_t> Pid;
  uint32_t Number = 0;
  uint32_t WParam = 0;
  int32_t LParam = 0;
  /// Ask for the generators' status instead of sending a message.
  bool Status = false;
  bool operator==(const TRemoteCommand&) const = default;
};

/// The command, or the text of what is wrong with the arguments (after the program name).
std::variant<TRemoteCommand, std::string> ParseRemoteCommand(const std::vector<std::string>& args);

/// The usage text, with every named message.
std::string RemoteUsage();
