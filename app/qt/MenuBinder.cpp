#include "app/qt/MenuBinder.h"

#include "app/Application.h"
#include "app/Form.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QShortcut>
#include <QWidget>

#include <set>

namespace {

QString MenuText(const TMenuItem& item) {
  QString text = QString::fromStdString(item.Caption());
  if (!item.ShortCut().empty()) text += QLatin1Char('\t') + QString::fromStdString(item.ShortCut());
  return text;
}

void Refresh(QAction& action, const TMenuItem& item) {
  action.setVisible(item.Visible());
  if (action.isSeparator()) return;  // a line, without text
  action.setText(MenuText(item));
  action.setEnabled(item.Enabled());
  action.setCheckable(item.Checked() || action.isCheckable());
  action.setChecked(item.Checked());
  action.setToolTip(QString::fromStdString(item.Hint()));
}

void Track(TMenuItem& item, QAction& action, bool follow) {
  Refresh(action, item);
  if (follow) item.AddObserver([&item, target = QPointer<QAction>(&action)] {
    if (target) Refresh(*target, item);
  });
}

/// Depth-first, in menu order: every item with a shortcut.
void CollectShortcuts(TMenuItem& parent, std::vector<TMenuItem*>& items) {
  for (TMenuItem* child : parent.Children()) {
    if (!child->ShortCut().empty()) items.push_back(child);
    CollectShortcuts(*child, items);
  }
}

/// F1 while a drop-down menu is open shows the help of that menu (or of its
/// highlighted item), as its window logic decides.
class TMenuHelpKey final : public QObject {
public:
  TMenuHelpKey(QMenu& menu, TMenuItem& item, TApplication& application)
      : QObject(&menu), FMenu(menu), FItem(item), FApplication(application) {
    menu.installEventFilter(this);
  }

protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1) return false;
    QAction* active = FMenu.activeAction();
    const auto* highlighted = active ? static_cast<const TMenuItem*>(active->data().value<void*>()) : nullptr;
    TForm* form = FItem.Owner();
    FMenu.close();
    if (form) FApplication.Perform([&] { form->HelpKeyPressed(&FItem, highlighted); });
    return true;
  }

private:
  QMenu& FMenu;
  TMenuItem& FItem;
  TApplication& FApplication;
};

/// Gives the window's menu keys precedence over a focused edit's own use of
/// them (Ctrl+Ins copies in an edit), except the keys an edit keeps; the
/// program-wide keys take precedence in every text field of every window.
class TEditKeyFilter final : public QObject {
public:
  TEditKeyFilter(QWidget& window, std::set<QKeySequence> keys, std::set<QKeySequence> programWide)
      : QObject(&window), FWindow(window), FKeys(std::move(keys)), FProgramWide(std::move(programWide)) {}

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ShortcutOverride) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const bool windowKey = edit != nullptr && FWindow.isAncestorOf(edit) && FKeys.contains(pressed);
    if (!windowKey && !FProgramWide.contains(pressed)) return false;
    event->ignore();  // not overridden: the shortcut runs
    return true;
  }

private:
  QWidget& FWindow;
  std::set<QKeySequence> FKeys;
  std::set<QKeySequence> FProgramWide;
};

/// A key of the window (only while it is the active window, and resting while
/// the window logic disables the menu bar) or of the whole program.
QShortcut* MenuShortcut(const QKeySequence& key, bool programWide, QMenuBar& bar, QWidget& window) {
  if (!programWide) return new QShortcut(key, &bar, nullptr, nullptr, Qt::WindowShortcut);
  return new QShortcut(key, &window, nullptr, nullptr, Qt::ApplicationShortcut);
}

}  // namespace

void FillMenu(QMenu& menu, TMenuItem& parent, bool follow, TApplication& application) {
  for (TMenuItem* child : parent.Children()) {
    TMenuItem& item = *child;
    if (item.Caption() == "-") {
      Track(item, *menu.addSeparator(), follow);
    } else if (!item.Children().empty()) {
      QMenu* sub = menu.addMenu(QString::fromStdString(item.Caption()));
      FillMenu(*sub, item, follow, application);
      Track(item, *sub->menuAction(), follow);
    } else {
      QAction* action = menu.addAction(MenuText(item));
      action->setData(QVariant::fromValue(static_cast<void*>(&item)));
      QObject::connect(action, &QAction::triggered, action, [&item, &application] { application.Perform([&item] { item.Click(); }); });
      Track(item, *action, follow);
    }
  }
}

void BindMenuBar(TMenuItem& mainMenu, QMenuBar& bar, QWidget& window, TApplication& application) {
  for (TMenuItem* child : mainMenu.Children()) {
    QMenu* menu = bar.addMenu(QString::fromStdString(child->Caption()));
    menu->setObjectName(QString::fromStdString(child->Name()));  // the view adds its own commands by it
    FillMenu(*menu, *child, true, application);
    new TMenuHelpKey(*menu, *child, application);
    Track(*child, *menu->menuAction(), true);
  }
  std::vector<TMenuItem*> items;
  CollectShortcuts(mainMenu, items);
  std::set<QKeySequence> taken;
  std::set<QKeySequence> notForEdits;
  std::set<QKeySequence> programWide;
  for (TMenuItem* item : items) {
    const QKeySequence key = QKeySequence::fromString(QString::fromStdString(item->ShortCut()));
    if (key.isEmpty() || !taken.insert(key).second) continue;
    if (item->ProgramWideShortCut)
      programWide.insert(key);
    else if (!TEdit::KeepsShortCut(item->ShortCut()))
      notForEdits.insert(key);
    QShortcut* shortcut = MenuShortcut(key, item->ProgramWideShortCut, bar, window);
    QObject::connect(shortcut, &QShortcut::activated, shortcut,
                     [item, &application] { application.Perform([item] { item->PressShortCut(); }); });
  }
  qApp->installEventFilter(new TEditKeyFilter(window, std::move(notForEdits), std::move(programWide)));
}
