// The desktop-wide Ctrl+Ins on an X server that the test starts (Xvfb),
// pressed through the server's test extension as a keyboard would.

#include "platform/PlainMessageLoop.h"
#include "platform/xcb/XcbHotKey.h"
#include "platform/xcb/XcbKeyboard.h"
#include "tests/fakes/ServerProcess.h"

#include <gtest/gtest.h>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <initializer_list>
#include <string>

namespace {

class XcbHotKey : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(Server.FirstLine().empty()) << "Xvfb did not start";
    Display = ":" + Server.FirstLine();
    Keyboard = xcb_connect(Display.c_str(), nullptr);
    ASSERT_EQ(xcb_connection_has_error(Keyboard), 0);
    Map = ReadXcbKeyboardMap(Keyboard);
    Root = xcb_setup_roots_iterator(xcb_get_setup(Keyboard)).data->root;
  }
  void TearDown() override { xcb_disconnect(Keyboard); }

  void Key(uint32_t sym, bool down) {
    xcb_test_fake_input(Keyboard, down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, Map.KeyCodeOf(sym), XCB_CURRENT_TIME,
                        Root, 0, 0, 0);
  }
  /// Presses and releases the keys in order, held together.
  void Chord(std::initializer_list<uint32_t> syms) {
    for (uint32_t s : syms) Key(s, true);
    for (auto s = std::rbegin(syms); s != std::rend(syms); ++s) Key(*s, false);
    // A round trip: the server has handled the fake input once it answers.
    free(xcb_get_input_focus_reply(Keyboard, xcb_get_input_focus(Keyboard), nullptr));
  }
  /// Lets the loop dispatch until presses reaches want (or a generous bound).
  void WaitFor(const int& presses, int want) {
    for (int i = 0; i < 200 && presses < want; ++i) Loop.WaitMessages(50);
  }

  TServerProcess Server{{"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "320x240x24"}};
  std::string Display;
  xcb_connection_t* Keyboard = nullptr;
  TXcbKeyboardMap Map;
  xcb_window_t Root = 0;
  TPlainMessageLoop Loop;
};

TEST_F(XcbHotKey, CtrlInsTogglesAlsoWithNumLockAndCapsLockOn) {
  TXcbHotKey hotKey(Loop, Display);
  int presses = 0;
  ASSERT_TRUE(hotKey.Register([&] { ++presses; }));
  EXPECT_TRUE(hotKey.Active());
  Chord({XK_Control_L, XK_Insert});
  WaitFor(presses, 1);
  EXPECT_EQ(presses, 1);
  Chord({XK_Num_Lock});
  Chord({XK_Control_L, XK_Insert});
  WaitFor(presses, 2);
  EXPECT_EQ(presses, 2) << "NumLock on";
  Chord({XK_Caps_Lock});
  Chord({XK_Control_L, XK_Insert});
  WaitFor(presses, 3);
  EXPECT_EQ(presses, 3) << "NumLock and CapsLock on";
  Chord({XK_Insert});
  Chord({XK_Control_L, XK_Insert});
  WaitFor(presses, 4);
  EXPECT_EQ(presses, 4) << "Insert alone is not the key";
}

TEST_F(XcbHotKey, AHeldKeyTogglesOnce) {
  TXcbHotKey hotKey(Loop, Display);
  int presses = 0;
  ASSERT_TRUE(hotKey.Register([&] { ++presses; }));
  // A held key: its press repeats without releases in between.
  Key(XK_Control_L, true);
  for (int i = 0; i < 3; ++i) Key(XK_Insert, true);
  Key(XK_Insert, false);
  Key(XK_Control_L, false);
  Chord({XK_Control_L, XK_Insert});
  WaitFor(presses, 2);
  EXPECT_EQ(presses, 2);
}

TEST_F(XcbHotKey, AKeyHeldByAnotherProgramIsNotOursUntilItIsReleased) {
  TXcbHotKey first(Loop, Display);
  ASSERT_TRUE(first.Register([] {}));
  TXcbHotKey second(Loop, Display);
  int presses = 0;
  EXPECT_FALSE(second.Register([&] { ++presses; }));
  EXPECT_FALSE(second.Active()) << "the window's own shortcut stays in charge";
  first.Unregister();
  EXPECT_FALSE(first.Active());
  ASSERT_TRUE(second.Register([&] { ++presses; })) << "released at close";
  Chord({XK_Control_L, XK_Insert});
  WaitFor(presses, 1);
  EXPECT_EQ(presses, 1);
}

TEST_F(XcbHotKey, NoDisplayNoKeyAndNoComplaint) {
  TXcbHotKey hotKey(Loop, ":65000");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(hotKey.Register([] {}));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(hotKey.Active());
  hotKey.Unregister();
}

}  // namespace
