// The help on screen: every help context the program asks for opens its
// topic from the help folder beside the program, the viewer follows links
// between topics, and F1 reaches the topic of the window or open menu.

#include "app/Application.h"
#include "app/HelpTopics.h"
#include "app/frmGenerator.h"
#include "app/qt/GeneratorWindow.h"
#include "app/qt/HelpViewer.h"
#include "app/qt/QtShell.h"
#include "app/qt/SettingsDialog.h"
#include "persistence/MemorySettingsStore.h"
#include "playback/frmSettings.h"
#include "tests/fakes/FakeDialogs.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/FakeMessageLoop.h"
#include "tests/fakes/FakeShell.h"
#include "tests/fakes/FakeWaveOutDevice.h"
#include "tests/qt/QtApplication.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>

#include <memory>
#include <set>

namespace {

/// The help folder the build puts beside the program.
const QString HelpFolder = QStringLiteral(ZEPHYRA_HELP_DIR);

class Help : public testing::Test, protected TFakeServices {
protected:
  void SetUp() override {
    TestApplication();
    Gen = std::make_unique<TfrmGenerator>(
        TGeneratorServices{App, Loop, Dialogs, Shell, Loop.Clock, Device, Store, Format});
    Settings = std::make_unique<TfrmSettings>(*Gen, Shell);
  }

  /// Every help context the windows can ask for: the windows', the menus',
  /// and those the link commands and the welcome question open.
  std::set<int> ContextsAskedFor() {
    std::set<int> contexts{Gen->HelpContext, Settings->HelpContext};
    for (const TForm* form : {static_cast<TForm*>(Gen.get()), static_cast<TForm*>(Settings.get())})
      for (const TControl* control : form->Controls())
        if (control->HelpContext != 0) contexts.insert(control->HelpContext);
    Gen->Links = {};
    Gen->lblPeakRMSratioL.OnClick();
    Gen->lblCredit.OnClick();
    Gen->Help1.Click();
    Settings->HelpButton.Click();
    Dialogs.Answers.push_back({TModalResult::Yes, false});
    Gen->AskWelcomeQuestion();
    contexts.insert(Shell.HelpTopics.begin(), Shell.HelpTopics.end());
    return contexts;
  }

  std::unique_ptr<TfrmGenerator> Gen;
  std::unique_ptr<TfrmSettings> Settings;
};

TEST_F(Help, EveryContextTheProgramAsksForHasATopicThatOpens) {
  const std::set<int> contexts = ContextsAskedFor();
  EXPECT_EQ(contexts, (std::set<int>{1, 2, 4, 5, 6, 10, 20}));
  TQtShell shell(DefaultHelpFolders(QDir(HelpFolder).filePath(QStringLiteral(".."))));
  for (int context : contexts) {
    SCOPED_TRACE(context);
    ASSERT_NE(HelpTopicFile(context), nullptr);
    EXPECT_TRUE(QFile::exists(QDir(HelpFolder).filePath(QString::fromUtf8(HelpTopicFile(context)))));
    shell.ShowHelp(context);
    EXPECT_FALSE(shell.Viewer()->PlainText().contains(QStringLiteral("could not be found")));
    EXPECT_GT(shell.Viewer()->PlainText().size(), 400) << "a topic written for users";
  }
}

TEST_F(Help, LinksBetweenTopicsLeadToTopicsThatExist) {
  const QRegularExpression link(QStringLiteral("href=\"([^\"#:]+)(#[^\"]*)?\""));
  for (const THelpTopic& topic : HelpTopics()) {
    QFile file(QDir(HelpFolder).filePath(QString::fromUtf8(topic.File)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << topic.File;
    const QString html = QString::fromUtf8(file.readAll());
    for (auto it = link.globalMatch(html); it.hasNext();) {
      const QString target = it.next().captured(1);
      EXPECT_TRUE(QFile::exists(QDir(HelpFolder).filePath(target))) << topic.File << " -> " << target.toStdString();
    }
  }
}

TEST_F(Help, TheViewerOpensTheScriptsTopicAndFollowsALink) {
  TQtShell shell({QDir(HelpFolder).filePath(QStringLiteral("missing")), HelpFolder});
  shell.ShowHelp(HelpContextScripts);
  THelpViewer& viewer = *shell.Viewer();
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_TRUE(viewer.screen()->availableGeometry().contains(viewer.frameGeometry())) << "whole on the screen";
  EXPECT_TRUE(viewer.PlainText().startsWith(QStringLiteral("Introduction |")));
  EXPECT_TRUE(viewer.PlainText().contains(QStringLiteral("The language in brief")));

  emit viewer.Browser().anchorClicked(QUrl(QStringLiteral("file-menu.html")));
  EXPECT_TRUE(viewer.PlainText().contains(QStringLiteral("Open New Generator Window")));
  EXPECT_EQ(viewer.Browser().source().fileName(), QStringLiteral("file-menu.html"));
  viewer.Browser().backward();
  EXPECT_EQ(viewer.Browser().source().fileName(), QStringLiteral("scripts.html"));

  emit viewer.Browser().anchorClicked(QUrl(QStringLiteral("output-settings.html#troubleshooting")));
  EXPECT_TRUE(viewer.PlainText().contains(QStringLiteral("Troubleshooting sound output on Linux")));

  emit viewer.Browser().anchorClicked(QUrl(QStringLiteral("no-such-topic.html")));
  EXPECT_TRUE(viewer.PlainText().contains(QStringLiteral("\"no-such-topic.html\" is not part of this version")));
}

TEST_F(Help, TheOutputSettingsOpenWithTheFocusOnTheRateListAndF1ShowsTheirTopic) {
  TQtSettingsDialog dialog(*Settings, App);
  const auto open = [&] {
    Gen->OutputSettings1.Click();
    ASSERT_TRUE(dialog.isVisible());
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  };
  // Help had the focus when the window was closed last time.
  open();
  for (QPushButton* button : dialog.findChildren<QPushButton*>())
    if (button->text() == QStringLiteral("Help")) button->setFocus(Qt::MouseFocusReason);
  ASSERT_EQ(Settings->ActiveControl(), &Settings->HelpButton);
  Settings->Button1.Click();
  open();
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr);
  EXPECT_EQ(qobject_cast<QPushButton*>(focus), nullptr) << "not the Help button";
  EXPECT_NE(qobject_cast<QComboBox*>(focus), nullptr);
  EXPECT_EQ(Settings->ActiveControl(), &Settings->cboFsList);

  QTest::keyClick(focus, Qt::Key_F1);
  EXPECT_EQ(Shell.HelpTopics, (std::vector<int>{HelpContextOutputSettings}));
}

TEST_F(Help, F1WhileAMenuIsOpenShowsThatMenusTopic) {
  TQtGeneratorWindow window(*Gen, App);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QList<QAction*> menus = window.menuBar()->actions();
  ASSERT_GE(menus.size(), 2);
  for (const auto& [index, context] : {std::pair{0, HelpContextFileMenu}, std::pair{1, HelpContextPresetsMenu}}) {
    QMenu* menu = menus[index]->menu();
    menu->popup(window.mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::keyClick(menu, Qt::Key_F1);
    EXPECT_FALSE(menu->isVisible());
    ASSERT_FALSE(Shell.HelpTopics.empty());
    EXPECT_EQ(Shell.HelpTopics.back(), context);
  }
}

}  // namespace
