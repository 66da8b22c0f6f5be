// Whether windows are composited, on an X server the test starts: by the
// desktop's convention a compositing manager owns "_NET_WM_CM_S<screen>";
// the test's client takes that selection as a manager would.

#include "platform/xcb/XcbCompositor.h"
#include "tests/fakes/ServerProcess.h"

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>

TEST(XcbCompositor, RunsWhileAClientOwnsTheScreensCompositingSelection) {
  // Without -noreset the server starts over whenever its last client leaves, refusing connections meanwhile.
  TServerProcess server{{"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-noreset", "-screen", "0", "64x64x24"}};
  const std::string display = ":" + server.FirstLine();
  EXPECT_FALSE(XcbCompositorRunning(display));
  xcb_connection_t* manager = xcb_connect(display.c_str(), nullptr);
  ASSERT_EQ(xcb_connection_has_error(manager), 0) << "Xvfb did not start";
  const xcb_window_t owner = xcb_generate_id(manager);
  xcb_create_window(manager, 0, owner, xcb_setup_roots_iterator(xcb_get_setup(manager)).data->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, 0, 0, nullptr);
  auto* atom = xcb_intern_atom_reply(manager, xcb_intern_atom(manager, 0, 13, "_NET_WM_CM_S0"), nullptr);
  ASSERT_NE(atom, nullptr);
  xcb_set_selection_owner(manager, owner, atom->atom, XCB_CURRENT_TIME);
  std::free(atom);
  std::free(xcb_get_input_focus_reply(manager, xcb_get_input_focus(manager), nullptr));  // a round trip
  EXPECT_TRUE(XcbCompositorRunning(display));
  xcb_destroy_window(manager, owner);  // the manager ends: the selection has no owner
  std::free(xcb_get_input_focus_reply(manager, xcb_get_input_focus(manager), nullptr));
  EXPECT_FALSE(XcbCompositorRunning(display));
  xcb_disconnect(manager);
}
