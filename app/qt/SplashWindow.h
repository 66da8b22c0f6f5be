#pragma once
// The start-up splash on screen: borderless, centred, white drawn
// transparent, its opacity following the splash form's; opaque white where
// the desktop does not blend windows.

#include <QWidget>

class QLabel;
class TfrmStartSplash;

class TQtSplashWindow final : public QWidget {
public:
  /// form must outlive the window.
  explicit TQtSplashWindow(TfrmStartSplash& form);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void Follow();

  TfrmStartSplash& FForm;
  QLabel* FLabel;
};
