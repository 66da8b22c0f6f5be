#pragma once
// The instrument's commands: each header pattern with what its set and its
// query do. Patterns are written as SCPI documents them: capitals are the
// short form, "[...]" an optional node, "#" a channel suffix (1 left, 2
// right; 1 when left out).

#include "instrument/InstrumentTarget.h"
#include "instrument/ScpiParser.h"
#include "instrument/StatusRegisters.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

/// What a command runs with, and where its answer and error go.
struct TCommandContext {
  TInstrumentTarget& Target;
  TStatusRegisters& Registers;
  /// The folder MMEMory:LOAD:STATe reads from (empty: none chosen).
  const std::filesystem::path& PresetFolder;
  const std::vector<TScpiParameter>& Parameters;
  int Channel = 0;  ///< 0 left, 1 right
  std::string Answer;
};

using TCommandAction = std::function<void(TCommandContext&)>;

struct TCommandEntry {
  std::string Pattern;
  TCommandAction Set;    ///< null: the command is a query only
  TCommandAction Query;  ///< null: the command has no query form
};

/// Every command of the instrument, in the order of the help's table.
const std::vector<TCommandEntry>& CommandTable();

struct TCommandMatch {
  const TCommandEntry* Entry = nullptr;
  int Channel = 0;
  int Error = 0;  ///< -113 no such header, -114 a channel suffix other than 1 or 2
};

/// The entry for a header's resolved nodes (in capitals, "SOUR2", "FILT", "FREQ").
TCommandMatch FindCommand(const std::vector<std::string>& nodes);
