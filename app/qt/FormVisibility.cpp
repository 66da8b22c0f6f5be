#include "app/qt/FormVisibility.h"

#include "app/Form.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

void CentreOnMouseScreen(QWidget& window) {
  const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  // The frame is known once the window manager has framed the window; until
  // then it is the window itself.
  QRect target(QPoint(), window.frameGeometry().size());
  target.moveCenter(area.center());
  const int left = std::max(area.left(), std::min(target.left(), area.right() + 1 - target.width()));
  const int top = std::max(area.top(), std::min(target.top(), area.bottom() + 1 - target.height()));
  // A top-level window's position is that of its frame.
  window.move(left, top);
}

void FollowFormVisibility(QWidget& window, TForm& form, TShowActivation activation) {
  const auto follow = [&window, &form, activation] {
    if (form.Visible() == window.isVisible()) return;
    if (!form.Visible()) {
      window.hide();
      return;
    }
    window.adjustSize();
    CentreOnMouseScreen(window);
    window.show();
    window.raise();
    if (activation == TShowActivation::Activate) window.activateWindow();
  };
  follow();
  form.AddObserver(follow);
}
