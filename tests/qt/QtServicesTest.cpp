#include "app/qt/HelpViewer.h"
#include "app/qt/QtDialogs.h"
#include "app/qt/QtShell.h"

#include "tests/qt/QtApplication.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

namespace {

TEST(QtFileFilter, TranslatesDescriptionPatternPairs) {
  EXPECT_EQ(QtFileFilter("Presets|*.zep"), QStringLiteral("Presets (*.zep)"));
  EXPECT_EQ(QtFileFilter("Wave files|*.wav|All files|*.*"), QStringLiteral("Wave files (*.wav);;All files (*.*)"));
  EXPECT_EQ(QtFileFilter("Scripts|*.kvs;*.zes"), QStringLiteral("Scripts (*.kvs *.zes)"));
}

TEST(QtFileFilter, KeepsADescriptionThatNamesItsPatterns) {
  EXPECT_EQ(QtFileFilter("Presets (*.zep)|*.zep"), QStringLiteral("Presets (*.zep)"));
}

/// Answers the next modal message box: ticks its check box if asked, then
/// presses button; records the caption and text it saw.
struct TBoxAnswer {
  explicit TBoxAnswer(QMessageBox::StandardButton button = QMessageBox::Ok, bool tick = false)
      : Button(button), Tick(tick) {}
  QMessageBox::StandardButton Button;
  bool Tick;
  QString Caption, Text, CheckText;
  void Arm() {
    QTimer::singleShot(0, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      Caption = box->windowTitle();
      Text = box->text();
      if (box->checkBox() != nullptr) {
        CheckText = box->checkBox()->text();
        box->checkBox()->setChecked(Tick);
      }
      box->button(Button)->click();
    });
  }
};

TEST(QtDialogs, MessageBoxesCarryTheApplicationTitle) {
  TestApplication();
  QGuiApplication::setApplicationDisplayName(QStringLiteral("ON - Zephyra"));
  TQtDialogs dialogs;
  TBoxAnswer answer;
  answer.Arm();
  dialogs.ShowMessage("No Soundcard driver found. No sound output possible.");
  EXPECT_EQ(answer.Caption, QStringLiteral("ON - Zephyra"));
  EXPECT_EQ(answer.Text, QStringLiteral("No Soundcard driver found. No sound output possible."));
  QGuiApplication::setApplicationDisplayName(QString());
}

TEST(QtDialogs, SuppressibleQuestionReportsTheAnswerAndTheBox) {
  TestApplication();
  TQtDialogs dialogs;
  TBoxAnswer answer(QMessageBox::No, true);
  answer.Arm();
  bool dontShowAgain = false;
  const TModalResult result = dialogs.SuppressibleQuestion("Welcome?", "Welcome", TMsgButtons::YesNo, dontShowAgain);
  EXPECT_EQ(result, TModalResult::No);
  EXPECT_TRUE(dontShowAgain);
  EXPECT_EQ(answer.Caption, QStringLiteral("Welcome"));
  EXPECT_EQ(answer.CheckText, QStringLiteral("Don't show this message again."));

  TBoxAnswer yes(QMessageBox::Yes);
  yes.Arm();
  EXPECT_EQ(dialogs.SuppressibleQuestion("Welcome?", "Welcome", TMsgButtons::YesNo, dontShowAgain), TModalResult::Yes);
  EXPECT_FALSE(dontShowAgain);
}

TEST(QtShell, HelpShowsTheTopicFileOfTheContext) {
  TestApplication();
  QTemporaryDir folder;
  QFile topic(folder.filePath(QStringLiteral("output-settings.html")));
  ASSERT_TRUE(topic.open(QIODevice::WriteOnly));
  topic.write("<html><body><h1>Output settings</h1></body></html>");
  topic.close();
  TQtShell shell({folder.filePath(QStringLiteral("missing")), folder.path()});
  shell.ShowHelp(2);
  ASSERT_NE(shell.Viewer(), nullptr);
  EXPECT_TRUE(shell.Viewer()->PlainText().contains(QStringLiteral("Output settings")));
}

TEST(QtShell, AMissingHelpTopicIsReportedByTheViewer) {
  TestApplication();
  QTemporaryDir folder;
  TQtShell shell({folder.path()});
  shell.ShowHelp(10);
  ASSERT_NE(shell.Viewer(), nullptr);
  EXPECT_TRUE(shell.Viewer()->isVisible());
  EXPECT_TRUE(shell.Viewer()->PlainText().contains(QStringLiteral("10")));
  EXPECT_TRUE(shell.Viewer()->PlainText().contains(QStringLiteral("not be found")));
}

}  // namespace
