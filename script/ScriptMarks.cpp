#include "script/ScriptMarks.h"

#include "script/ScriptFile.h"

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
}  // namespace

TScriptLineMarks MarkScriptLine(std::string_view line, int32_t lineNumber, const TNumberFormat& format) {
  TScriptLineMarks marks;
  marks.Command = CommandOf(SplitScriptLine(line).Command);
  if (marks.Command != TScriptCommand::Invalid) marks.CommandBytes = line.substr(0, line.find(' ')).size();
  marks.Problem = ScriptLineProblem(line, lineNumber, format);
  return marks;
}

std::vector<TScriptLineMarks> MarkScript(std::string_view bytes, const TNumberFormat& format) {
  const std::vector<TScriptFileLine> lines = EditorLinesOf(bytes);
  std::vector<TScriptLineMarks> marks;
  bool waited = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto number = static_cast<int32_t>(i + 1);
    // The empty line where reading ends is the normal end of a run.
    if (i + 1 == lines.size() && lines[i].Text.empty() && lines[i].End == TLineEnd::None) {
      marks.emplace_back();
      break;
    }
    TScriptLineMarks& mark = marks.emplace_back(MarkScriptLine(lines[i].Text, number, format));
    if (mark.Command == TScriptCommand::Repeat && !waited && !mark.Problem)
      mark.Problem = RepeatWithoutWaitMessage(number);
    waited = waited || mark.Command == TScriptCommand::Play || mark.Command == TScriptCommand::Delay;
    if (number == 1 && lines[i].Text.starts_with(kByteOrderMark))
      mark.Note = "a byte-order mark begins the file";
  }
  return marks;
}
