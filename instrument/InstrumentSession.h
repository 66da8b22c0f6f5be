#pragma once
// One client's conversation with the instrument: its lines run through the
// command table in order, each command to its end before the next, and the
// answers of a line come back as one line, separated by ";".

#include "instrument/CommandTable.h"
#include "instrument/StatusRegisters.h"

#include <filesystem>
#include <string>
#include <string_view>

class TInstrumentSession {
public:
  /// target must outlive the session; presetFolder is where MMEMory:LOAD:STATe reads.
  TInstrumentSession(TInstrumentTarget& target, std::filesystem::path presetFolder);

  /// Runs one line (without its newline); returns the answer line with its
  /// "\n", or nothing when the line asked nothing.
  std::string Execute(std::string_view line);
  /// A line was refused for its length (-223).
  void LineTooLong();

  TStatusRegisters& Registers() { return FRegisters; }

private:
  void Run(const TScpiCommand& command, std::vector<std::string>& path, std::string& answers);

  TInstrumentTarget& FTarget;
  std::filesystem::path FPresetFolder;
  TStatusRegisters FRegisters;
};
