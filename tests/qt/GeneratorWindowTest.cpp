// The main window on screen follows the window logic both ways. These
// checks drive the widgets as a user would and read the control objects.

#include "analysis/SignalAnalysis.h"
#include "app/qt/FormBinder.h"
#include "app/qt/GeneratorWindow.h"
#include "app/qt/LedWidget.h"
#include "app/qt/LevelMeterPanel.h"
#include "app/qt/SettingsDialog.h"
#include "playback/OutputEvents.h"
#include "playback/frmEventLog.h"
#include "tests/qt/GeneratorWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTableWidget>
#include <QTest>

namespace {

TEST_F(QtGeneratorWindowTest, TypingAndLeavingAnEditRunsItsValidation) {
  TypeAndLeave(Gen->AmplitudeLeft, QStringLiteral("-150"), Gen->Duration);
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-100");
  EXPECT_EQ(Widget<QLineEdit>(Gen->AmplitudeLeft).text(), QStringLiteral("-100"));
  EXPECT_EQ(Widget<QSlider>(Gen->barAmplitudeLeft).value(), 10000);

  TypeAndLeave(Gen->Duration, QStringLiteral("0.05"), Gen->AmplitudeLeft);
  EXPECT_EQ(Widget<QLineEdit>(Gen->Duration).text(), QString::fromStdString(Gen->Duration.Text()));
  EXPECT_NE(Gen->Duration.Text(), "0.05");
}

TEST_F(QtGeneratorWindowTest, TypingWithoutLeavingDoesNotValidate) {
  QLineEdit& field = Widget<QLineEdit>(Gen->AmplitudeLeft);
  field.setFocus(Qt::MouseFocusReason);
  field.selectAll();
  QTest::keyClicks(&field, QStringLiteral("-150"));
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-150");
  EXPECT_EQ(Widget<QSlider>(Gen->barAmplitudeLeft).value(), 0);
}

TEST_F(QtGeneratorWindowTest, MovingTheSliderUpdatesTheEdit) {
  Widget<QSlider>(Gen->barAmplitudeLeft).setValue(1250);
  EXPECT_EQ(Gen->barAmplitudeLeft.Position(), 1250);
  EXPECT_EQ(Widget<QLineEdit>(Gen->AmplitudeLeft).text(), QStringLiteral("-12.5"));
}

TEST_F(QtGeneratorWindowTest, ControlsDisabledByTheWindowLogicAreDisabledOnScreen) {
  ASSERT_EQ(Gen->cboChannels.ItemIndex(), 0);  // Mono
  EXPECT_FALSE(Widget<QLineEdit>(Gen->AmplitudeRight).isEnabled());
  EXPECT_FALSE(Widget<QCheckBox>(Gen->chkAsLeft).isEnabled());

  emit Widget<QComboBox>(Gen->cboChannels).activated(1);  // the user picks Stereo
  EXPECT_EQ(Gen->cboChannels.ItemIndex(), 1);
  EXPECT_TRUE(Widget<QLineEdit>(Gen->AmplitudeRight).isEnabled());
  EXPECT_TRUE(Widget<QCheckBox>(Gen->chkAsLeft).isEnabled());
}

TEST_F(QtGeneratorWindowTest, ClickingACheckBoxRunsItsHandler) {
  EXPECT_FALSE(Widget<QLineEdit>(Gen->ModPeriodLeftEdit).isEnabled());
  QCheckBox& modulation = Widget<QCheckBox>(Gen->ModulationOnLeft);
  QTest::mouseClick(&modulation, Qt::LeftButton, {}, QPoint(6, modulation.height() / 2));
  EXPECT_TRUE(Gen->ModulationOnLeft.Checked());
  EXPECT_TRUE(Widget<QLineEdit>(Gen->ModPeriodLeftEdit).isEnabled());
}

TEST_F(QtGeneratorWindowTest, EnterPressesTheDefaultButtonAndTheLampFollows) {
  ASSERT_TRUE(Gen->btnON.Default());
  Widget<QLineEdit>(Gen->Duration).setFocus(Qt::MouseFocusReason);
  QTest::keyClick(Window.get(), Qt::Key_Return);
  Loop.ProcessMessages();
  ASSERT_TRUE(Gen->AudioOut1->Active);
  EXPECT_EQ(Window->Binder().WidgetOf(Gen->btnOFF), QApplication::focusWidget());
  EXPECT_EQ(Widget<TLedWidget>(Gen->LED).Color(), QColor(0, 128, 0));
  EXPECT_EQ(Window->windowTitle(), QStringLiteral("ON - Zephyra"));

  QTest::keyClick(Window.get(), Qt::Key_Return);  // OFF is the default button now
  Loop.ProcessMessages();
  EXPECT_FALSE(Gen->AudioOut1->Active);
  EXPECT_EQ(Window->windowTitle(), QStringLiteral("Zephyra"));
}

TEST_F(QtGeneratorWindowTest, MenuShortcutsRunTheirItems) {
  QTest::keyClick(Window.get(), Qt::Key_F11);
  Loop.ProcessMessages();
  EXPECT_TRUE(Gen->AudioOut1->Active);
  QTest::keyClick(Window.get(), Qt::Key_F9);
  Loop.ProcessMessages();
  EXPECT_FALSE(Gen->AudioOut1->Active);
}

TEST_F(QtGeneratorWindowTest, CtrlXInAFocusedEditCutsTextInsteadOfExiting) {
  QLineEdit& field = Widget<QLineEdit>(Gen->Duration);
  field.setFocus(Qt::MouseFocusReason);
  field.selectAll();
  QTest::keyClick(&field, Qt::Key_X, Qt::ControlModifier);
  EXPECT_TRUE(Window->isVisible());
  EXPECT_EQ(Gen->Duration.Text(), "");
}

TEST_F(QtGeneratorWindowTest, LeavingTheWindowDoesNotRunTheExitReaction) {
  QLineEdit& field = Widget<QLineEdit>(Gen->AmplitudeLeft);
  field.setFocus(Qt::MouseFocusReason);
  field.selectAll();
  QTest::keyClicks(&field, QStringLiteral("-150"));

  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-150");

  QApplication::setActiveWindow(Window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-150");
  Widget<QLineEdit>(Gen->Duration).setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-100");
}

TEST_F(QtGeneratorWindowTest, TheSettingsWindowIsShownAndHiddenByItsForm) {
  TQtSettingsDialog dialog(*Settings, App, Window.get());
  EXPECT_FALSE(dialog.isVisible());
  QTest::keyClick(Window.get(), Qt::Key_C, Qt::ControlModifier);  // Tools > Output Settings
  EXPECT_TRUE(Settings->Visible());
  EXPECT_TRUE(dialog.isVisible());

  QComboBox* rates = nullptr;
  for (QComboBox* combo : dialog.findChildren<QComboBox*>())
    if (combo->findText(QStringLiteral("44100")) >= 0) rates = combo;
  ASSERT_NE(rates, nullptr);
  emit rates->activated(rates->findText(QStringLiteral("44100")));
  EXPECT_EQ(Settings->cboFsList.Text(), "44100");
  EXPECT_EQ(Gen->State.sampleRate, 44100);

  dialog.close();  // the close box closes it as "Close" does
  EXPECT_FALSE(Settings->Visible());
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(QtGeneratorWindowTest, CtrlTGoesToTheFirstItemInMenuOrderTheWaveExport) {
  Dialogs.FileDialogs.clear();
  QTest::keyClick(Window.get(), Qt::Key_T, Qt::ControlModifier);
  ASSERT_EQ(Dialogs.FileDialogs.size(), 1u) << "Ctrl+T must open the wave file's save dialog";
  EXPECT_EQ(Dialogs.FileDialogs.back().Title, "Save wave file");
}

TEST_F(QtGeneratorWindowTest, F12OpensTheResponseWindowAndTheMetersShowThePlayedBuffer) {
  QTest::keyClick(Window.get(), Qt::Key_F12);
  QWidget* response = Window->findChild<QWidget*>("frmResponse");
  ASSERT_NE(response, nullptr);
  EXPECT_TRUE(response->isVisible());
  EXPECT_EQ(response->windowTitle(), "Response");
  EXPECT_TRUE(Gen->Analysis().ResponseVisible());

  auto* left = Window->findChild<TMeterReadout*>("lblLevelL");
  ASSERT_NE(left, nullptr);
  EXPECT_EQ(left->Text(), "");
  QTest::keyClick(Window.get(), Qt::Key_F11);
  Loop.ProcessMessages();
  EXPECT_TRUE(left->Text().startsWith("Peak ")) << left->Text().toStdString();

  response->close();
  EXPECT_FALSE(Gen->Analysis().ResponseVisible()) << "closing the window stops the spectrum";
}

// Under load a run logs a row for each dropout while the Event Log window
// is hidden; shown, the window has every row and columns wide enough for them.
TEST_F(QtGeneratorWindowTest, TheEventLogWindowShowsTheRowsLoggedWhileHiddenInColumnsThatFitThem) {
  Gen->OutputEvents().Started("A device with a rather long name", {44100, 2, 16, 2, 4096});
  for (int64_t count = 1; count <= 500; ++count)
    Gen->OutputEvents().DropoutsShown({count, static_cast<double>(count) * 1.5});
  auto* table = Window->findChild<QTableWidget*>("lstEvents");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rowCount(), 501);

  Gen->EventLog1.Click();
  ASSERT_TRUE(table->isVisible());
  const QFontMetrics metrics(table->font());
  EXPECT_GE(table->columnWidth(2), metrics.horizontalAdvance(table->item(0, 2)->text()));
  EXPECT_GE(table->columnWidth(0), metrics.horizontalAdvance(table->item(500, 0)->text()));
  Gen->EventLogWindow().btnClose.Click();
}

}  // namespace
