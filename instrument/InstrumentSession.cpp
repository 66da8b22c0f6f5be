#include "instrument/InstrumentSession.h"

#include "instrument/LineSplitter.h"

TInstrumentSession::TInstrumentSession(TInstrumentTarget& target, std::filesystem::path presetFolder)
    : FTarget(target), FPresetFolder(std::move(presetFolder)) {}

std::string TInstrumentSession::Execute(std::string_view line) {
  std::string answers;
  std::vector<std::string> path;
  for (const TScpiUnit& unit : ParseProgramMessage(line)) {
    if (unit.Error) {
      FRegisters.Report(unit.Error, unit.Detail);
      break;
    }
    Run(unit.Command, path, answers);
  }
  return answers.empty() ? answers : answers + "\n";
}

void TInstrumentSession::LineTooLong() {
  FRegisters.Report(-223, "line longer than " + std::to_string(TLineSplitter::MaxLineBytes) + " bytes");
}

void TInstrumentSession::Run(const TScpiCommand& command, std::vector<std::string>& path, std::string& answers) {
  const std::vector<std::string> nodes = ResolveHeader(command, path);
  const TCommandMatch match = FindCommand(nodes);
  if (!match.Entry) return FRegisters.Report(match.Error, command.Nodes.empty() ? "" : command.Nodes.back());
  const TCommandAction& action = command.Query ? match.Entry->Query : match.Entry->Set;
  if (!action) return FRegisters.Report(-113, command.Query ? "no query form" : "query only");
  TCommandContext context{FTarget, FRegisters, FPresetFolder, command.Parameters, match.Channel, {}};
  try {
    action(context);
  } catch (const std::exception& e) {  // a handler's failure (a text that does not convert) ends this command only
    FRegisters.Report(-200, e.what());
  }
  if (command.Query && !context.Answer.empty()) answers += (answers.empty() ? "" : ";") + context.Answer;
}
