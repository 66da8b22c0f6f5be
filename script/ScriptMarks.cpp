#include "script/ScriptMarks.h"

TScriptLineMarks MarkScriptLine(std::string_view line, int32_t lineNumber, const TNumberFormat& format) {
  TScriptLineMarks marks;
  marks.Command = CommandOf(SplitScriptLine(line).Command);
  if (marks.Command != TScriptCommand::Invalid) marks.CommandBytes = line.substr(0, line.find(' ')).size();
  marks.Problem = ScriptLineProblem(line, lineNumber, format);
  return marks;
}
