#include "app/qt/WindowKeys.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace {

void AddKey(QWidget& window, Qt::Key key, std::function<void()> action) {
  if (!action) return;
  auto* shortcut = new QShortcut(QKeySequence(key), &window, nullptr, nullptr, Qt::WindowShortcut);
  QObject::connect(shortcut, &QShortcut::activated, shortcut, std::move(action));
}

}  // namespace

void AddWindowKeys(QWidget& window, TWindowKeys keys) {
  AddKey(window, Qt::Key_Escape, [&window] { window.close(); });
  AddKey(window, Qt::Key_F1, std::move(keys.Help));
  AddKey(window, Qt::Key_F12, std::move(keys.ToggleResponse));
}
