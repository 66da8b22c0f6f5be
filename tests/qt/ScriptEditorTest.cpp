// The script editor's window: it marks the lines the runner would stop at
// as the text changes, and saves the file with its own line ends. Its verdict
// on a file is held against the runner's on the same file.

#include "app/editor/ScriptEditorWindow.h"
#include "app/frmGenerator.h"
#include "tests/app/GeneratorFixture.h"
#include "tests/persistence/TempDir.h"
#include "tests/qt/QtApplication.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include <optional>
#include <string>
#include <vector>

namespace {

TEST(QtScriptEditor, MarksTheLinesTheRunnerWouldStopAtAndSavesWithTheFilesLineEnds) {
  TestApplication();
  TTempDir dir;
  const std::string path = dir.File("session.zes");
  const std::string bytes = "play 1 a.zep\r\ndelay 1,5\r\nrem ok\r\nend\r\n";
  WriteBytes(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));

  TScriptEditorWindow window(TNumberFormat{'.'});
  QStringList errors;
  window.ShowError = [&errors](const QString& text) { errors << text; };
  ASSERT_TRUE(window.OpenFile(QString::fromStdString(path)));
  EXPECT_EQ(window.Problems(), std::vector<std::string>{"'1,5' is not a valid floating point value"});
  EXPECT_EQ(window.Editor().extraSelections().size(), 1) << "the one line is marked";

  QTextCursor cursor(window.Editor().document()->findBlockByNumber(1));
  cursor.select(QTextCursor::LineUnderCursor);
  cursor.insertText(QStringLiteral("delay 1.5"));
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(QStringLiteral("jump"));
  EXPECT_EQ(window.Problems(), std::vector<std::string>{"Invalid command in line 5"});
  EXPECT_TRUE(window.isWindowModified());

  ASSERT_TRUE(window.SaveFile(QString::fromStdString(path)));
  const std::vector<uint8_t> saved = ReadBytes(path);
  EXPECT_EQ(std::string(saved.begin(), saved.end()), "play 1 a.zep\r\ndelay 1.5\r\nrem ok\r\nend\r\njump");
  EXPECT_FALSE(window.isWindowModified());

  EXPECT_FALSE(window.OpenFile(QString::fromStdString(dir.File("missing.zes"))));
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot open file"))) << errors[0].toStdString();
  EXPECT_EQ(window.FileName(), QString::fromStdString(path)) << "a failed open keeps the file being edited";
}

/// The runner of a main window on fake services.
using QtScriptEditorAndRunner = GeneratorFixture;

TEST_F(QtScriptEditorAndRunner, JudgeTheSameBytesAlikeAndOpenAndSaveChangeNone) {
  TestApplication();
  TTempDir dir;
  struct TCase {
    const char* name;
    std::string bytes;
    int lines;  ///< the lines the editor shows
    bool runnerStops;
    bool readOnly;
  };
  const TCase cases[] = {
      {"CR only", "delay 0\rrem x\rend\r", 1, true, false},
      {"lone CR", "rem a\rb\ndelay 0\r5\nend\n", 4, true, false},
      {"byte-order mark", "\xEF\xBB\xBFrem x\r\nend\r\n", 3, true, false},
      {"CR LF", "delay 0\r\nrem \xC3\xA9t\xC3\xA9\r\nend\r\n", 4, false, false},
      {"repeat before a wait", "rem x\nrepeat\ndelay 1\n", 4, true, false},
      {"every end and none", "delay 0\r\nrem b\nrem c\rend", 3, false, false},
      {"Latin-1", "rem caf\xE9\ndelay 1\xE9\nend\n", 4, true, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File("case.zes");
    WriteBytes(path, std::vector<uint8_t>(c.bytes.begin(), c.bytes.end()));
    Dialogs.Messages.clear();
    Dialogs.Errors.clear();
    const bool failed = Gen->Runscript(path) == TScriptOutcome::Failed;
    ASSERT_EQ(failed, c.runnerStops);
    std::optional<std::string> runner;
    if (failed) runner = Dialogs.Errors.empty() ? Dialogs.Messages.back() : Dialogs.Errors.back();
    TScriptEditorWindow window(TNumberFormat{'.'});
    QStringList notes;
    window.ShowError = [&notes](const QString& text) { notes << text; };
    ASSERT_TRUE(window.OpenFile(QString::fromStdString(path)));
    const auto problems = window.Problems();
    EXPECT_EQ(problems.empty() ? std::nullopt : std::optional(problems.front()), runner);
    EXPECT_EQ(window.Editor().document()->blockCount(), c.lines);
    EXPECT_EQ(window.ReadOnly(), c.readOnly);
    EXPECT_EQ(notes.size(), c.readOnly ? 1 : 0) << "a read-only file says why";

    const std::string copy = dir.File("copy.zes");
    EXPECT_EQ(window.SaveFile(QString::fromStdString(copy)), !c.readOnly);
    if (!c.readOnly) {
      const std::vector<uint8_t> saved = ReadBytes(copy);
      EXPECT_EQ(std::string(saved.begin(), saved.end()), c.bytes);
    }
  }
}

TEST(QtScriptEditor, ShowsCarriageReturnsAsMarksAndKeepsEachLinesEndThroughAnEdit) {
  TestApplication();
  TTempDir dir;
  const std::string path = dir.File("mixed.zes");
  const std::string bytes = "rem a\r\nrem b\nrem c\rend";
  WriteBytes(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
  TScriptEditorWindow window(TNumberFormat{'.'});
  ASSERT_TRUE(window.OpenFile(QString::fromStdString(path)));
  QTextDocument& document = *window.Editor().document();
  EXPECT_EQ(document.findBlockByNumber(2).text(), QStringLiteral("rem c\u21B5end"));

  QTextCursor cursor(document.findBlockByNumber(1));
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText(QStringLiteral("delay 1"));
  cursor.movePosition(QTextCursor::EndOfBlock);
  cursor.insertText(QStringLiteral("\nrepeat"));
  EXPECT_EQ(window.Bytes(), "rem a\r\ndelay 1\nrepeat\r\nrem c\rend") << "a new line ends as the first";
  EXPECT_TRUE(window.Problems().empty());
}

}  // namespace
