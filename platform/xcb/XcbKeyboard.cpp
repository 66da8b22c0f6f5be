#include "platform/xcb/XcbKeyboard.h"

#include <xcb/xcb.h>

#include <cstdlib>

uint8_t TXcbKeyboardMap::KeyCodeOf(uint32_t sym) const {
  for (size_t i = 0; PerKeycode != 0 && i < Syms.size(); ++i)
    if (Syms[i] == sym) return static_cast<uint8_t>(Min + i / PerKeycode);
  return 0;
}

TXcbKeyboardMap ReadXcbKeyboardMap(xcb_connection_t* c) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  TXcbKeyboardMap map;
  map.Min = setup->min_keycode;
  const auto count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
  xcb_get_keyboard_mapping_reply_t* reply =
      xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, map.Min, count), nullptr);
  if (!reply) return map;
  map.PerKeycode = reply->keysyms_per_keycode;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
  map.Syms.assign(syms, syms + xcb_get_keyboard_mapping_keysyms_length(reply));
  std::free(reply);
  return map;
}
