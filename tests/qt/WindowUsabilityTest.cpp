// What the widgets themselves decide: where a right click and a key go, the
// wait window's keyboard, the level slider's steps, and that closing the
// main window asks for the end of the program whatever else is open.

#include "app/qt/CheckGroupBox.h"
#include "app/qt/HelpViewer.h"
#include "app/qt/SettingsDialog.h"
#include "app/qt/WaitDialog.h"
#include "export/frmWait.h"
#include "tests/persistence/TempDir.h"
#include "tests/qt/GeneratorWindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QWheelEvent>

#include <filesystem>
#include <utility>

namespace {

class QtWindowUsability : public QtGeneratorWindowTest {
protected:
  /// Right-clicks the middle of target; the entries of the menu that opens
  /// (then closed again), or nothing.
  static QStringList RightClickMenu(QWidget& target) {
    QStringList entries;
    const auto take = [&entries] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr || !entries.isEmpty()) return;
      for (QAction* action : menu->actions()) entries << action->text();
      menu->close();
    };
    // A modal menu is read from inside its own loop, a popup after the click.
    QTimer inside;
    inside.setSingleShot(true);
    QObject::connect(&inside, &QTimer::timeout, take);
    inside.start(0);
    const QPoint middle = target.rect().center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, middle, target.mapToGlobal(middle));
    QApplication::sendEvent(&target, &click);
    take();
    return entries;
  }
};

TEST_F(QtWindowUsability, ARightClickAnywhereInAChannelBoxOpensItsCopyMenu) {
  const QStringList fromRight{QStringLiteral("&Use Settings from Right Channel")};
  const QStringList fromLeft{QStringLiteral("&Use Settings from Left Channel")};
  struct TCase {
    const TControl* inner;
    QStringList menu;
  };
  // In Mono most of the right box is disabled; its menu still opens there.
  for (const TCase& c : {TCase{&Gen->cboCrestFactorL, fromRight}, TCase{&Gen->barAmplitudeLeft, fromRight},
                         TCase{&Gen->lblFZeroL, fromRight}, TCase{&Gen->lblPeriodL, fromRight},
                         TCase{&Gen->ModulationOnLeft, fromRight}, TCase{&Gen->boxLeftAll, fromRight},
                         TCase{&Gen->WaveFormRight, fromLeft}, TCase{&Gen->RightTick, fromLeft},
                         TCase{&Gen->cboFilterTypeR1, fromLeft}})
    EXPECT_EQ(RightClickMenu(*Window->Binder().WidgetOf(*c.inner)), c.menu) << c.inner->Name();

  // An enabled edit (the filter fields are disabled while the filter is None).
  const QStringList editMenu = RightClickMenu(Widget<QLineEdit>(Gen->AmplitudeLeft));
  EXPECT_FALSE(editMenu.isEmpty()) << "an edit keeps its own text menu";
  EXPECT_FALSE(editMenu.contains(fromRight.front()));
}

TEST_F(QtWindowUsability, AClickOnAModulationTitleClicksItsCheckBox) {
  auto* group = dynamic_cast<TCheckGroupBox*>(Widget<QCheckBox>(Gen->ModulationOnLeft).parentWidget());
  ASSERT_NE(group, nullptr);
  QTest::mouseClick(&group->Title(), Qt::LeftButton);
  EXPECT_TRUE(Gen->ModulationOnLeft.Checked());
  EXPECT_TRUE(Widget<QLineEdit>(Gen->ModPeriodLeftEdit).isEnabled());
  QTest::mouseClick(&group->Title(), Qt::LeftButton);
  EXPECT_FALSE(Gen->ModulationOnLeft.Checked());

  auto* right = dynamic_cast<TCheckGroupBox*>(Widget<QCheckBox>(Gen->ModulationOnRight).parentWidget());
  ASSERT_NE(right, nullptr);
  QTest::mouseClick(&right->Title(), Qt::LeftButton);  // greyed in Mono
  EXPECT_FALSE(Gen->ModulationOnRight.Checked());
  EXPECT_FALSE(right->Title().isEnabled());
}

TEST_F(QtWindowUsability, CtrlInsTogglesTheOutputAlsoInsideAnEdit) {
  Gen->cboFilterTypeL1.UserSelect(ftPeaking);  // filter fields stay open while the output runs
  for (const TEdit* edit : {&Gen->txtFZeroL, &Gen->txtGainL, &Gen->Duration}) {
    QLineEdit& field = Widget<QLineEdit>(*edit);
    field.setFocus(Qt::MouseFocusReason);
    const bool before = Gen->AudioOut1->Active;
    QTest::keyClick(&field, Qt::Key_Insert, Qt::ControlModifier);
    Loop.ProcessMessages();
    EXPECT_NE(Gen->AudioOut1->Active, before) << edit->Name();
  }
}

TEST_F(QtWindowUsability, PageKeysAndTheWheelMoveALevelByOneDecibelArrowsByAHundredth) {
  QSlider& slider = Widget<QSlider>(Gen->barAmplitudeLeft);
  slider.setFocus(Qt::MouseFocusReason);
  QTest::keyClick(&slider, Qt::Key_PageDown);
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-1");
  QTest::keyClick(&slider, Qt::Key_Down);
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-1.01");
  QTest::keyClick(&slider, Qt::Key_Up);
  QTest::keyClick(&slider, Qt::Key_PageUp);
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "0");

  const QPointF middle = slider.rect().center();
  const auto turn = [&](int angle) {
    QWheelEvent wheel(middle, slider.mapToGlobal(middle), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&slider, &wheel);
  };
  turn(-120);  // one notch towards the user: down, quieter
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-1");
  turn(-60);   // half notches add up
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-1");
  turn(-60);
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-2");
  turn(240);
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "0");
}

TEST_F(QtWindowUsability, TheWaitWindowTakesTheKeyboardAndEscOrItsCloseBoxCancels) {
  TfrmWait wait(*Gen);
  TQtWaitDialog dialog(wait, App, Window.get());
  TTempDir dir;
  Settings->cboFsList.UserSelect(3);  // CD format: no format hint
  Gen->cboChannels.UserSelect(cmStereo);
  Gen->Duration.SetText("30");
  for (const bool byEsc : {true, false}) {
    QWidget* focused = nullptr;
    bool pressed = false;
    Loop.OnSleep = [&] {
      if (std::exchange(pressed, true)) return;
      // (A tool window counts as active with its parent; ask the application.)
      EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }));
      focused = QApplication::focusWidget();
      if (byEsc) {
        QTest::keyClick(focused, Qt::Key_Escape);
      } else {
        dialog.close();
      }
    };
    const std::string path = dir.File(byEsc ? "esc.wav" : "close.wav");
    Dialogs.Paths.push_back(path);
    App.Perform([&] { Gen->SaveToneAsWaveFile1.Click(); });
    EXPECT_EQ(focused, dialog.findChild<QPushButton*>()) << "Cancel has the focus";
    EXPECT_FALSE(std::filesystem::exists(path)) << "cancelled exports leave no file";
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(Window->centralWidget()->isEnabled());
  }
}

TEST_F(QtWindowUsability, TheWaitWindowStaysUsableWhileTheMainWindowIsDisabled) {
  TfrmWait wait(*Gen);
  TQtWaitDialog dialog(wait, App, Window.get());
  Gen->SetEnabled(false);
  wait.SetVisible(true);
  EXPECT_FALSE(Window->centralWidget()->isEnabled());
  EXPECT_TRUE(dialog.findChild<QPushButton*>()->isEnabled());
  wait.SetVisible(false);
  Gen->SetEnabled(true);
}

TEST_F(QtWindowUsability, ClosingTheMainWindowAsksForTheEndWhileOtherWindowsAreOpen) {
  THelpViewer help;
  help.ShowTopic(1, QString());
  TQtSettingsDialog settings(*Settings, App, Window.get());
  Settings->Show();
  ASSERT_TRUE(help.isVisible());
  ASSERT_TRUE(settings.isVisible());

  Window->close();  // the close box
  EXPECT_FALSE(Window->isVisible());
  EXPECT_EQ(QuitRequests, 1);
  EXPECT_FALSE(Store.Read()->contains("Fs")) << "the open settings window stored nothing on the way";
  EXPECT_TRUE(Store.Read()->contains("Duration")) << "the main window's close stored the generator values";

  Window->close();
  EXPECT_EQ(QuitRequests, 1);
}

TEST_F(QtWindowUsability, AWindowIsPlacedAtTheSizeItKeeps) {
  // Placing (centring) happens when the window is shown; it must not grow after.
  TfrmGenerator form(TGeneratorServices{App, Loop, Dialogs, Shell, Loop.Clock, Device, Store, Format});
  TQtGeneratorWindow window(form, App);
  App.OnTerminate = [this] { ++QuitRequests; };
  window.show();
  const QSize shown = window.size();
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  EXPECT_EQ(window.size(), shown);
}

}  // namespace
