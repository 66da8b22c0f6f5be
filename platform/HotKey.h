#pragma once
// The system-wide key that toggles the generator (Ctrl+Ins), whichever
// program has the focus. Where the desktop gives no global keys, the
// window's own shortcut is the only way and registration reports false.

#include <functional>

class THotKey {
public:
  virtual ~THotKey() = default;
  /// Grabs Ctrl+Ins for the whole desktop; pressed runs on the GUI thread
  /// each time it is pressed. Returns false when the key cannot be grabbed.
  virtual bool Register(std::function<void()> pressed) = 0;
  /// Gives the key back; harmless when it was never grabbed.
  virtual void Unregister() = 0;
  /// True while the global grab is held, so that the window's own shortcut
  /// can stand aside and a press never toggles twice.
  virtual bool Active() const = 0;

  /// Runs on the GUI thread when Active() changes after Register returned
  /// (a desktop that approves or withdraws the key later).
  std::function<void()> OnActiveChange;
};

/// No global key: the window's own shortcut only.
class TNullHotKey final : public THotKey {
public:
  bool Register(std::function<void()>) override { return false; }
  void Unregister() override {}
  bool Active() const override { return false; }
};
