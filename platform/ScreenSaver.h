#pragma once
// Keeps the desktop's screensaver from starting while the output plays.

class TScreenSaver {
public:
  virtual ~TScreenSaver() = default;
  /// Holds the screensaver off until Release; a second Hold while held does nothing.
  virtual void Hold() = 0;
  /// Lets the screensaver start again; harmless when not held.
  virtual void Release() = 0;
};

/// A desktop without a screensaver service.
class TNullScreenSaver final : public TScreenSaver {
public:
  void Hold() override {}
  void Release() override {}
};
