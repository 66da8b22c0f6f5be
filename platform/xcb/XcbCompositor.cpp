#include "platform/xcb/XcbCompositor.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

bool XcbCompositorRunning(const std::string& display) {
  int screen = 0;
  xcb_connection_t* connection = xcb_connect(display.empty() ? nullptr : display.c_str(), &screen);
  const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> closer(connection, &xcb_disconnect);
  if (xcb_connection_has_error(connection)) return false;
  const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.c_str()),
                            nullptr),
      &std::free);
  if (!atom) return false;
  const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
      xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr),
      &std::free);
  return owner && owner->owner != XCB_NONE;
}
