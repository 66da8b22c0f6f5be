#pragma once
// The desktop-wide Ctrl+Ins on X11: a key grab on the root window, also with
// NumLock and CapsLock on, on a display connection of its own whose key
// presses the GUI loop dispatches. Where the display is missing or another
// program holds the key, Register reports false and nothing is grabbed.

#include "platform/HotKey.h"
#include "platform/MessageLoop.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct xcb_connection_t;

class TXcbHotKey final : public THotKey, private TMessageSource {
public:
  /// loop dispatches the presses on the GUI thread and must outlive this
  /// object; display names the X display (empty: $DISPLAY).
  explicit TXcbHotKey(TMessageLoop& loop, std::string display = {});
  /// Releases the grab and closes the connection.
  ~TXcbHotKey() override;
  TXcbHotKey(const TXcbHotKey&) = delete;
  TXcbHotKey& operator=(const TXcbHotKey&) = delete;

  bool Register(std::function<void()> pressed) override;
  void Unregister() override;
  bool Active() const override { return FActive; }

private:
  int WakeDescriptor() const override;
  /// GUI thread: runs pressed once per press of the key (a held key counts once).
  void Dispatch() override;
  /// Grabs every modifier variant; false (and nothing held) if one fails.
  bool Grab();
  void Ungrab();
  void Disconnect();

  TMessageLoop& FLoop;
  std::string FDisplay;
  xcb_connection_t* FConnection = nullptr;
  uint32_t FRoot = 0;
  uint8_t FKeyCode = 0;
  std::vector<uint16_t> FModifiers;
  std::function<void()> FPressed;
  bool FActive = false;
  bool FKeyDown = false;
};
