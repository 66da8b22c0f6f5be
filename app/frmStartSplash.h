#pragma once
// The start-up splash: a borderless window with the product name and
// version that fades in while the program starts and fades out before the
// main window appears. White is drawn transparent; the window's opacity
// goes from 0 (invisible) to 255. Where the desktop cannot blend windows (no
// compositor), the splash is opaque, white included, and does not fade.

#include "app/Controls.h"
#include "app/Form.h"

#include <cstdint>

class TMessageLoop;

class TfrmStartSplash : public TForm {
public:
  static constexpr int ClientWidth = 514;
  static constexpr int ClientHeight = 236;

  /// Created hidden and fully transparent; Label1 reads "Zephyra 1.3".
  TfrmStartSplash();

  /// Product name and version, right-aligned in its box.
  TLabel Label1{this, "Label1"};

  uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(uint8_t value);
  /// The desktop blends the window with what lies beneath it (set by the view).
  bool Blended() const { return FBlended; }
  void SetBlended(bool value) { FBlended = value; }

  /// Shows the window and raises its opacity in 15 steps of 16 (16 .. 240),
  /// each followed by a 20 ms sleep and the pending messages; then holds it
  /// for 7 sleeps of 50 ms, each followed by the pending messages. Not
  /// blended: shows it at opacity 255 and holds it.
  void FadeIn(TMessageLoop& loop);
  /// Lowers the opacity in 15 steps (240 .. 16), each followed by a 20 ms
  /// sleep and the pending messages, then hides the window. Not blended:
  /// hides it.
  void FadeOut(TMessageLoop& loop);

private:
  uint8_t FAlphaBlendValue = 0;
  bool FBlended = true;
};
