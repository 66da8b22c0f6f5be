#pragma once
// The main window on screen over the window logic with fake services, shown
// and active, for checks that drive the widgets as a user would.

#include "app/Application.h"
#include "app/frmGenerator.h"
#include "app/qt/FormBinder.h"
#include "app/qt/GeneratorWindow.h"
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
#include <QLineEdit>
#include <QTest>

#include <memory>

class QtGeneratorWindowTest : public testing::Test, protected TFakeServices {
protected:
  void SetUp() override {
    TestApplication();
    Gen = std::make_unique<TfrmGenerator>(
        TGeneratorServices{App, Loop, Dialogs, Shell, Loop.Clock, Device, Store, Format});
    Settings = std::make_unique<TfrmSettings>(*Gen, Shell);
    Window = std::make_unique<TQtGeneratorWindow>(*Gen, App);
    // The window ends the program when the logic asks; the tests share one
    // application, so they count the requests instead.
    App.OnTerminate = [this] { ++QuitRequests; };
    Window->show();
    QApplication::setActiveWindow(Window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
  }

  template <class TWidget> TWidget& Widget(const TControl& control) {
    auto* widget = dynamic_cast<TWidget*>(Window->Binder().WidgetOf(control));
    EXPECT_NE(widget, nullptr) << control.Name();
    return *widget;
  }

  /// Clicks into edit, replaces its text by typing, then clicks into next.
  void TypeAndLeave(TEdit& edit, const QString& text, TEdit& next) {
    QLineEdit& field = Widget<QLineEdit>(edit);
    field.setFocus(Qt::MouseFocusReason);
    field.selectAll();
    QTest::keyClicks(&field, text);
    Widget<QLineEdit>(next).setFocus(Qt::MouseFocusReason);
  }

  std::unique_ptr<TfrmGenerator> Gen;
  std::unique_ptr<TfrmSettings> Settings;
  std::unique_ptr<TQtGeneratorWindow> Window;
  int QuitRequests = 0;
};

