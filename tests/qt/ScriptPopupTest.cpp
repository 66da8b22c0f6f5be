// The progress window of a script run on screen: it follows its form, stays
// usable while the main window is disabled, and its buttons, close box, Esc
// and F1 reach the form.

#include "app/qt/ScriptPopup.h"
#include "script/frmScriptPopup.h"
#include "tests/qt/GeneratorWindowFixture.h"

#include <QLabel>
#include <QPushButton>

namespace {

class QtScriptPopup : public QtGeneratorWindowTest {
protected:
  void SetUp() override {
    QtGeneratorWindowTest::SetUp();
    Form = std::make_unique<TfrmScriptPopup>(*Gen);
    Popup = std::make_unique<TQtScriptPopup>(*Form, App, Window.get());
  }

  /// The popup shown as a run shows it: main window disabled.
  void ShowAsARunDoes() {
    Gen->SetEnabled(false);
    Form->Show();
    Form->Label1.SetCaption("Line 3: delay 2.5");
    ASSERT_TRUE(Popup->isVisible());
  }

  QPushButton* Button(const char* text) {
    for (QPushButton* b : Popup->findChildren<QPushButton*>())
      if (b->text() == QLatin1String(text)) return b;
    ADD_FAILURE() << "no button " << text;
    return nullptr;
  }

  std::unique_ptr<TfrmScriptPopup> Form;
  std::unique_ptr<TQtScriptPopup> Popup;
};

TEST_F(QtScriptPopup, ShowsTheLineAndStaysUsableWhileTheMainWindowIsDisabled) {
  ShowAsARunDoes();
  EXPECT_EQ(Popup->windowTitle(), QStringLiteral("ZEP Script"));
  EXPECT_EQ(Popup->findChild<QLabel*>()->text(), QStringLiteral("Line 3: delay 2.5"));
  EXPECT_FALSE(Window->centralWidget()->isEnabled());
  ASSERT_NE(Button("Cancel"), nullptr);
  EXPECT_TRUE(Button("Cancel")->isEnabled());
  EXPECT_TRUE(Button("Next")->isEnabled());
}

TEST_F(QtScriptPopup, EveryWayOfClosingItEnablesTheMainWindow) {
  struct TCase {
    const char* name;
    std::function<void()> close;
    bool busyAfter;
  };
  const TCase cases[] = {
      {"Cancel", [this] { QTest::mouseClick(Button("Cancel"), Qt::LeftButton); }, true},
      {"Next", [this] { QTest::mouseClick(Button("Next"), Qt::LeftButton); }, false},
      {"close box", [this] { Popup->close(); }, true},
      {"Esc", [this] { QTest::keyClick(Popup.get(), Qt::Key_Escape); }, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    ShowAsARunDoes();
    App.SignalBusy = true;
    c.close();
    EXPECT_FALSE(Form->Visible());
    EXPECT_FALSE(Popup->isVisible());
    EXPECT_TRUE(Gen->Enabled());
    EXPECT_TRUE(Window->centralWidget()->isEnabled());
    EXPECT_EQ(App.SignalBusy, c.busyAfter) << "only Next ends the current wait";
  }
}

TEST_F(QtScriptPopup, F1OpensTheScriptsHelp) {
  ShowAsARunDoes();
  QTest::keyClick(Popup.get(), Qt::Key_F1);
  EXPECT_EQ(Shell.HelpTopics, std::vector<int>{4});
  Form->Hide();
}

}  // namespace
