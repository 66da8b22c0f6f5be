// The script editor's window: it marks the lines the runner would stop at
// as the text changes, and saves the file with its own line ends.

#include "app/editor/ScriptEditorWindow.h"
#include "tests/persistence/TempDir.h"
#include "tests/qt/QtApplication.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

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

}  // namespace
