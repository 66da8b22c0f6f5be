#pragma once
// Keysyms and the keycodes that carry them on an X display.

#include <cstdint>
#include <vector>

struct xcb_connection_t;

constexpr uint32_t XK_Insert = 0xff63;
constexpr uint32_t XK_Num_Lock = 0xff7f;
constexpr uint32_t XK_Caps_Lock = 0xffe5;
constexpr uint32_t XK_Control_L = 0xffe3;

/// The keyboard's keysym table: keycodes from Min on, PerKeycode symbols each.
struct TXcbKeyboardMap {
  uint8_t Min = 0;
  uint8_t PerKeycode = 0;
  std::vector<uint32_t> Syms;

  /// The first keycode that carries sym, or 0.
  uint8_t KeyCodeOf(uint32_t sym) const;
};

/// The display's current keyboard mapping (empty when the request fails).
TXcbKeyboardMap ReadXcbKeyboardMap(xcb_connection_t* connection);
