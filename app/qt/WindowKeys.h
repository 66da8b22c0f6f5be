#pragma once
// The keys of the windows beside the main window (Response, Help): Esc closes
// the window, F1 shows its help topic, F12 opens or closes the Response
// window. They act only while their window is the active window.

#include <functional>

class QWidget;

struct TWindowKeys {
  std::function<void()> Help;
  std::function<void()> ToggleResponse;
};

/// Gives window the keys; an empty action leaves its key unused.
void AddWindowKeys(QWidget& window, TWindowKeys keys);
