#include "app/qt/FormVisibility.h"

#include "app/Form.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void FollowFormVisibility(QWidget& window, TForm& form, TShowActivation activation) {
  const auto follow = [&window, &form, activation] {
    if (form.Visible() == window.isVisible()) return;
    if (!form.Visible()) {
      window.hide();
      return;
    }
    window.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
      window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    window.raise();
    if (activation == TShowActivation::Activate) window.activateWindow();
  };
  follow();
  form.AddObserver(follow);
}
