// The line format of scripts: how a line is cut into command, first argument
// and remainder, which lines the runner refuses and how an editor sees them.

#include "script/EditableScript.h"
#include "script/ScriptFile.h"
#include "script/ScriptLine.h"
#include "script/ScriptMarks.h"
#include "tests/persistence/TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>
#include <vector>

namespace {

TEST(ScriptLine, CutsAtEverySpace) {
  struct TCase {
    const char* line;
    const char* command;
    const char* argument;
    const char* remainder;
  };
  const TCase cases[] = {
      {"PLAY 2 C:\\My Presets\\noise a.zep", "play", "2", "C:\\My Presets\\noise a.zep"},
      {"play 2 /tests/my  noise.zep", "play", "2", "/tests/my  noise.zep"},
      {"play 2 a.zep ", "play", "2", "a.zep"},
      {"play 2 a.zep  ", "play", "2", "a.zep "},
      {"play  2 a.zep", "play", "", "2 a.zep"},
      {"play 2", "play", "2", ""},
      {"play 2 ", "play", "2", ""},
      {"pause Move the microphone", "pause", "Move", "the microphone"},
      {"pause Hello", "pause", "Hello", ""},
      {"pause", "pause", "", ""},
      {"Delay 1,5", "delay", "1,5", ""},
      {"", "", "", ""},
      {" play 2 a.zep", "", "play", "2 a.zep"},
      {"play\t2\ta.zep", "play\t2\ta.zep", "", ""},
      {"\xEF\xBB\xBFplay 1 a.zep", "\xEF\xBB\xBFplay", "1", "a.zep"},
      {"END now", "end", "now", ""},
      {"rem Anything At All", "rem", "Anything", "At All"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.line);
    const TScriptLine line = SplitScriptLine(c.line);
    EXPECT_EQ(line.Command, c.command);
    EXPECT_EQ(line.Argument, c.argument);
    EXPECT_EQ(line.Remainder, c.remainder);
  }
}

TEST(ScriptLine, CommandWordsAreTheSixCommandsInAnyCase) {
  struct TCase {
    const char* line;
    TScriptCommand command;
  };
  for (TCase c : {TCase{"PLAY 1 a", TScriptCommand::Play}, TCase{"Pause", TScriptCommand::Pause},
                  TCase{"dElAy 1", TScriptCommand::Delay}, TCase{"REPEAT", TScriptCommand::Repeat},
                  TCase{"rem", TScriptCommand::Rem}, TCase{"End", TScriptCommand::End},
                  TCase{"", TScriptCommand::Invalid}, TCase{" end", TScriptCommand::Invalid},
                  TCase{"end\t", TScriptCommand::Invalid}, TCase{"\xEF\xBB\xBF" "end", TScriptCommand::Invalid},
                  TCase{"plays 1 a", TScriptCommand::Invalid}, TCase{"ende", TScriptCommand::Invalid}}) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(CommandOf(SplitScriptLine(c.line).Command), c.command);
  }
}

TEST(ScriptLine, LowerCasesTheCommandWordByTheLocale) {
  const std::string previous = std::setlocale(LC_CTYPE, nullptr);
  if (!std::setlocale(LC_CTYPE, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale";
  EXPECT_EQ(SplitScriptLine("\xC3\x89ND \xC3\x89").Command, "\xC3\xA9nd");  // "ÉND" -> "énd"
  EXPECT_EQ(SplitScriptLine("\xC3\x89ND \xC3\x89").Argument, "\xC3\x89") << "the argument keeps its case";
  EXPECT_EQ(SplitScriptLine("PL\xFF" "AY").Command, "pl\xFF" "ay") << "a byte that is not UTF-8 stays";
  std::setlocale(LC_CTYPE, previous.c_str());
}

TEST(ScriptLine, HoldsAtMostTwentyFiveFields) {
  const std::string words24 = "pause 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24";
  EXPECT_EQ(SplitScriptLine(words24).FieldCount, 25);
  EXPECT_EQ(ScriptLineProblem(words24, 4, {'.'}), std::nullopt);
  EXPECT_EQ(ScriptLineProblem(words24 + " 25", 4, {'.'}),
            "Line 4 has more than 24 spaces; a script line holds at most 25 fields.");
  EXPECT_EQ(ScriptLineProblem("rem" + std::string(25, ' '), 9, {'.'}),
            "Line 9 has more than 24 spaces; a script line holds at most 25 fields.");
}

TEST(ScriptLine, ProblemsAreTheOnesTheRunnerStopsAt) {
  struct TCase {
    const char* line;
    char separator;
    std::optional<std::string> problem;
  };
  const TCase cases[] = {
      {"play 4 a file.zep", '.', std::nullopt},
      {"play 2", '.', std::nullopt},
      {"delay 1.5", '.', std::nullopt},
      {"delay 1,5", ',', std::nullopt},
      {"end now", '.', std::nullopt},
      {"repeat", '.', std::nullopt},
      {"delay 1,5", '.', "'1,5' is not a valid floating point value"},
      {"delay 1.5", ',', "'1.5' is not a valid floating point value"},
      {"delay", '.', "'' is not a valid floating point value"},
      {"play  2 a.zep", '.', "'' is not a valid integer value"},
      {"play x a.zep", '.', "'x' is not a valid integer value"},
      {"play 5 a.zep", '.', "Memory 5 in line 3 does not exist; play takes a memory from 1 to 4."},
      {"play 0 a.zep", '.', "Memory 0 in line 3 does not exist; play takes a memory from 1 to 4."},
      {"", '.', "Invalid command in line 3"},
      {" rem", '.', "Invalid command in line 3"},
      {"delay\t1", '.', "Invalid command in line 3"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(ScriptLineProblem(c.line, 3, {c.separator}), c.problem);
  }
}

TEST(ScriptText, LinesEndAtLfOrCrLf) {
  struct TCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
  };
  const TCase cases[] = {
      {"LF", "a\nb\n", {"a", "b"}},
      {"CR LF", "a\r\nb\r\n", {"a", "b"}},
      {"no LF at the end", "a\nb", {"a", "b"}},
      {"empty lines", "\n\na\n", {"", "", "a"}},
      {"lone CR", "a\rb\n", {"a\rb"}},
      {"CR at the end without LF", "end\r", {"end\r"}},
      {"empty file", "", {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TScriptText text(c.text);
    std::vector<std::string> lines;
    while (auto line = text.NextLine()) lines.emplace_back(*line);
    EXPECT_EQ(lines, c.lines);
    text.Rewind();
    if (!c.lines.empty()) {
      EXPECT_EQ(text.NextLine(), c.lines.front()) << "after a rewind";
    }
  }
}

}  // namespace

namespace {

TEST(ScriptMarks, MarkTheCommandWordAndTheLinesTheRunnerStopsAt) {
  struct TCase {
    const char* line;
    TScriptCommand command;
    size_t commandBytes;
    bool problem;
  };
  const TCase cases[] = {
      {"PLAY 2 a b.zep", TScriptCommand::Play, 4, false},
      {"rem play 7", TScriptCommand::Rem, 3, false},
      {"repeat", TScriptCommand::Repeat, 6, false},
      {"play 7 a.zep", TScriptCommand::Play, 4, true},
      {"delay 1,5", TScriptCommand::Delay, 5, true},
      {"", TScriptCommand::Invalid, 0, true},
      {"jump 3", TScriptCommand::Invalid, 0, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.line);
    const TScriptLineMarks marks = MarkScriptLine(c.line, 1, {'.'});
    EXPECT_EQ(marks.Command, c.command);
    EXPECT_EQ(marks.CommandBytes, c.commandBytes);
    EXPECT_EQ(marks.Problem.has_value(), c.problem);
  }
}

TEST(EditableScript, KeepsTheFilesLineEndsThroughAnEdit) {
  TTempDir dir;
  struct TCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> shown;
  };
  const TCase cases[] = {
      {"LF", "play 1 a.zep\nend\n", {"play 1 a.zep", "end", ""}},
      {"CR LF", "play 1 a.zep\r\nend\r\n", {"play 1 a.zep", "end", ""}},
      {"no line end", "end", {"end"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File("edit.zes");
    WriteBytes(path, std::vector<uint8_t>(c.bytes.begin(), c.bytes.end()));
    TEditableScript script = ReadEditableScript(path);
    std::vector<std::string> shown;
    for (const TEditableLine& line : script.Lines) shown.push_back(line.Shown);
    EXPECT_EQ(shown, c.shown);
    SaveEditableScript(path, script);
    const std::vector<uint8_t> saved = ReadBytes(path);
    EXPECT_EQ(std::string(saved.begin(), saved.end()), c.bytes);
  }
}

}  // namespace
