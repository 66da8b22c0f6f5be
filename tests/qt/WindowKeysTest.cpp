// The keys of each window, pressed in the window that is really active, with
// the windows built as the program builds them: a window's keys act only in
// it, Ctrl+Ins in every window; the help stays usable while a prompt is open.

#include "app/HelpTopics.h"
#include "app/frmGenerator.h"
#include "app/qt/GeneratorWindow.h"
#include "app/qt/HelpViewer.h"
#include "app/qt/QtDialogs.h"
#include "app/qt/QtShell.h"
#include "app/qt/QtStartupView.h"
#include "playback/frmSettings.h"
#include "tests/fakes/FakeServices.h"
#include "tests/qt/QtApplication.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <memory>

namespace {

class WindowKeys : public testing::Test, protected TFakeServices {
protected:
  enum TWindow { Main, Settings, Response, Help };

  void SetUp() override {
    TestApplication();
    Gen = std::make_unique<TfrmGenerator>(TGeneratorServices{App, Loop, Dialogs, HelpShell, Loop.Clock, Device, Store, Format});
    View.GeneratorCreated(*Gen);
    SettingsForm = std::make_unique<TfrmSettings>(*Gen, HelpShell);
    View.SettingsCreated(*SettingsForm);
    App.OnTerminate = [this] { ++QuitRequests; };
    View.Window()->show();
    Activate(View.Window());
  }

  void Activate(QWidget* window) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }));
  }

  /// Opens window as the user would; it becomes the active window.
  QWidget* Open(TWindow window) {
    TMenuItem* items[] = {nullptr, &Gen->OutputSettings1, &Gen->Response1, &Gen->Help1};
    if (items[window]) App.Perform([&] { items[window]->Click(); });
    QWidget* widgets[] = {View.Window(), View.Window()->findChild<QDialog*>("frmSettings"), ResponseWindow(), HelpShell.Viewer()};
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == widgets[window]; })) << window;
    return widgets[window];
  }

  QWidget* ResponseWindow() const { return View.Window()->findChild<QWidget*>("frmResponse"); }

  /// What the user sees: output on, Response open, the help's page, the program ending.
  std::string Outcome() {
    Loop.ProcessMessages();
    QStringList seen;
    if (Gen->AudioOut1->Active) seen << "on";
    if (ResponseWindow()->isVisible()) seen << "response";
    if (HelpShell.Viewer() && HelpShell.Viewer()->isVisible()) seen << HelpShell.Viewer()->Browser().source().fileName();
    if (QuitRequests > 0) seen << "quit";
    return seen.join(' ').toStdString();
  }

  void CloseAll() {
    App.Perform([&] { Gen->btnOFFClick(); });
    if (SettingsForm->Visible()) App.Perform([&] { SettingsForm->Button1Click(); });
    ResponseWindow()->close();
    if (HelpShell.Viewer()) HelpShell.Viewer()->close();
    Activate(View.Window());
  }

  TQtShell HelpShell{{QStringLiteral(ZEPHYRA_HELP_DIR)}};
  TQtDialogs QtDialogs;
  std::unique_ptr<TfrmGenerator> Gen;
  std::unique_ptr<TfrmSettings> SettingsForm;
  TQtStartupView View{App, QtDialogs, HelpShell};
  int QuitRequests = 0;
};

TEST_F(WindowKeys, EachWindowsKeysActInItAndCtrlInsInEveryWindow) {
  const struct {
    TWindow window;
    QKeyCombination key;
    const char* outcome;
  } cases[] = {
      {Main, Qt::Key_F11, "on"},
      {Main, Qt::Key_F1, "main-window.html"},
      {Main, Qt::Key_F12, "response"},
      {Settings, Qt::Key_F11, ""},
      {Settings, Qt::Key_F1, "output-settings.html"},
      {Settings, Qt::ControlModifier | Qt::Key_X, ""},
      {Settings, Qt::ControlModifier | Qt::Key_Insert, "on"},
      {Response, Qt::Key_Escape, ""},
      {Response, Qt::Key_F12, ""},
      {Response, Qt::Key_F1, "response meter-and-response.html"},
      {Response, Qt::Key_F11, "response"},
      {Response, Qt::ControlModifier | Qt::Key_Insert, "on response"},
      {Help, Qt::Key_Escape, ""},
      {Help, Qt::Key_F1, "introduction.html"},
      {Help, Qt::Key_F12, "response main-window.html"},
      {Help, Qt::Key_F11, "main-window.html"},
      {Help, Qt::ControlModifier | Qt::Key_Insert, "on main-window.html"},
      {Main, Qt::ControlModifier | Qt::Key_X, "quit"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.window << " " << QKeySequence(c.key).toString().toStdString());
    CloseAll();
    QuitRequests = 0;
    QWidget* window = Open(c.window);
    ASSERT_TRUE(window && window->isActiveWindow());
    QTest::keyClick(window->windowHandle(), c.key.key(), c.key.keyboardModifiers());
    EXPECT_EQ(Outcome(), c.outcome);
  }
}

TEST_F(WindowKeys, TheHelpFollowsLinksAndScrollsWhileAPromptIsOpen) {
  QtDialogs.SetHelp([this](int context) { HelpShell.ShowHelp(context); });
  for (const bool openBefore : {true, false}) {
    SCOPED_TRACE(openBefore ? "help open before the prompt" : "help opened from the prompt");
    if (openBefore) HelpShell.ShowHelp(HelpContextScripts);
    std::string followed;
    int scrolled = 0;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      THelpViewer* viewer = HelpShell.Viewer();
      if (box == nullptr) return;
      if (viewer == nullptr || !viewer->isVisible()) return box->button(QMessageBox::Help)->click();
      user.stop();
      viewer->activateWindow();  // a click into it
      EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == viewer; }));
      QTextCursor link = viewer->Browser().document()->find(QStringLiteral("Main window"));
      link.setPosition(link.selectionStart() + 2);
      const QPoint at = viewer->Browser().viewport()->mapTo(viewer, viewer->Browser().cursorRect(link).center());
      QTest::mouseClick(viewer->windowHandle(), Qt::LeftButton, {}, at);
      followed = viewer->Browser().source().fileName().toStdString();
      const int top = viewer->Browser().verticalScrollBar()->value();
      QTest::keyClick(viewer->windowHandle(), Qt::Key_PageDown);
      scrolled = viewer->Browser().verticalScrollBar()->value() - top;
      box->button(QMessageBox::Cancel)->click();
      viewer->close();
    });
    user.start(10);
    EXPECT_EQ(QtDialogs.Confirm("Ready?", TMsgButtons::OKCancel, HelpContextScripts), TModalResult::Cancel);
    EXPECT_EQ(followed, "main-window.html");
    EXPECT_GT(scrolled, 0);
  }
}

}  // namespace
