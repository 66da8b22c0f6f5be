#pragma once
// Menus of the control objects on Qt. Shortcuts belong to the window, not to
// the actions, so that hidden items keep working shortcuts; a key shared by
// two items goes to the first in menu order. The menus show the key text.
// A window's keys act only while it is the active window; a program-wide key
// acts in every window of the program. In a focused edit the menu keys run
// too, except those an edit keeps.

#include "app/Controls.h"

class TApplication;

class QMenu;
class QMenuBar;
class QWidget;

/// Fills menu with one entry per child of parent ("-" is a separator, an item
/// with children a submenu); with follow, the entries track later changes.
/// A chosen entry runs its click through application.Perform.
void FillMenu(QMenu& menu, TMenuItem& parent, bool follow, TApplication& application);
/// Builds bar from mainMenu's children and gives window one shortcut per key.
void BindMenuBar(TMenuItem& mainMenu, QMenuBar& bar, QWidget& window, TApplication& application);
