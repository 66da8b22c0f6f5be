#include "platform/xcb/XcbHotKey.h"

#include "platform/xcb/XcbKeyboard.h"

#include <xcb/xcb.h>
// xkb.h names a field "explicit", which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

template <class T>
using TReply = std::unique_ptr<T, decltype(&std::free)>;

template <class T>
TReply<T> Reply(T* reply) {
  return TReply<T>(reply, &std::free);
}

/// The modifier bit that NumLock sets (Mod2 on most keyboards), or 0.
uint16_t NumLockMask(xcb_connection_t* c, uint8_t numLockKey) {
  if (numLockKey == 0) return 0;
  auto reply = Reply(xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
  if (!reply) return 0;
  const xcb_keycode_t* keys = xcb_get_modifier_mapping_keycodes(reply.get());
  const int perModifier = reply->keycodes_per_modifier;
  for (int modifier = 0; modifier < 8; ++modifier)
    for (int k = 0; k < perModifier; ++k)
      if (keys[modifier * perModifier + k] == numLockKey) return static_cast<uint16_t>(1u << modifier);
  return 0;
}

/// Asks the server to send no release between the presses of a held key,
/// so that a held key is one press. Without the keyboard extension a held
/// key toggles at the keyboard's repeat rate.
void DetectAutoRepeat(xcb_connection_t* c) {
  free(xcb_xkb_use_extension_reply(c, xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION),
                                   nullptr));
  free(xcb_xkb_per_client_flags_reply(
      c,
      xcb_xkb_per_client_flags(c, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
                               XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT, 0, 0, 0),
      nullptr));
}

}  // namespace

TXcbHotKey::TXcbHotKey(TMessageLoop& loop, std::string display) : FLoop(loop), FDisplay(std::move(display)) {}

TXcbHotKey::~TXcbHotKey() { Unregister(); }

bool TXcbHotKey::Register(std::function<void()> pressed) {
  Unregister();
  int screenNumber = 0;
  FConnection = xcb_connect(FDisplay.empty() ? nullptr : FDisplay.c_str(), &screenNumber);
  if (xcb_connection_has_error(FConnection)) {
    Disconnect();
    return false;
  }
  xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(FConnection));
  for (int i = 0; i < screenNumber && screen.rem > 0; ++i) xcb_screen_next(&screen);
  FRoot = screen.data->root;
  DetectAutoRepeat(FConnection);
  const TXcbKeyboardMap map = ReadXcbKeyboardMap(FConnection);
  FKeyCode = map.KeyCodeOf(XK_Insert);
  const uint16_t numLock = NumLockMask(FConnection, map.KeyCodeOf(XK_Num_Lock));
  FModifiers.clear();
  // Ctrl alone, and with CapsLock, NumLock or both on.
  for (uint16_t lock : {uint16_t{0}, uint16_t{XCB_MOD_MASK_LOCK}})
    for (uint16_t num : {uint16_t{0}, numLock}) {
      const auto modifiers = static_cast<uint16_t>(XCB_MOD_MASK_CONTROL | lock | num);
      if (std::find(FModifiers.begin(), FModifiers.end(), modifiers) == FModifiers.end())
        FModifiers.push_back(modifiers);
    }
  if (FKeyCode == 0 || !Grab()) {
    Disconnect();
    return false;
  }
  FPressed = std::move(pressed);
  FActive = true;
  FLoop.AddSource(*this);
  return true;
}

bool TXcbHotKey::Grab() {
  // Ask for every variant first, then collect the answers: one round trip.
  std::vector<xcb_void_cookie_t> cookies;
  for (uint16_t modifiers : FModifiers)
    cookies.push_back(xcb_grab_key_checked(FConnection, 1, FRoot, modifiers, FKeyCode, XCB_GRAB_MODE_ASYNC,
                                           XCB_GRAB_MODE_ASYNC));
  bool all = true;
  for (xcb_void_cookie_t cookie : cookies) {
    // BadAccess: another client holds this combination.
    if (auto error = Reply(xcb_request_check(FConnection, cookie))) all = false;
  }
  if (!all) Ungrab();
  return all;
}

void TXcbHotKey::Ungrab() {
  for (uint16_t modifiers : FModifiers) xcb_ungrab_key(FConnection, FKeyCode, FRoot, modifiers);
  xcb_flush(FConnection);
}

void TXcbHotKey::Unregister() {
  if (FActive) {
    FLoop.RemoveSource(*this);
    Ungrab();
    FActive = false;
  }
  FPressed = nullptr;
  Disconnect();
}

void TXcbHotKey::Disconnect() {
  if (FConnection) xcb_disconnect(FConnection);
  FConnection = nullptr;
}

int TXcbHotKey::WakeDescriptor() const { return FConnection ? xcb_get_file_descriptor(FConnection) : -1; }

void TXcbHotKey::Dispatch() {
  if (!FActive) return;
  while (auto event = Reply(xcb_poll_for_event(FConnection))) {
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_KEY_RELEASE && reinterpret_cast<xcb_key_release_event_t*>(event.get())->detail == FKeyCode) {
      FKeyDown = false;
    } else if (type == XCB_KEY_PRESS && reinterpret_cast<xcb_key_press_event_t*>(event.get())->detail == FKeyCode) {
      // A held key repeats its press; it counts once.
      if (FKeyDown) continue;
      FKeyDown = true;
      // Copy: the reaction may unregister the key.
      if (const std::function<void()> pressed = FPressed) pressed();
      if (!FActive) return;
    }
  }
  if (xcb_connection_has_error(FConnection)) {
    // The display went away: the window's own shortcut takes over.
    FLoop.RemoveSource(*this);
    FActive = false;
  }
}
