#pragma once
// A tool window that the window logic shows and hides: the widget follows its
// form's Visible, centred on the screen whenever it is shown.

class QWidget;
class TForm;

enum class TShowActivation { Activate, KeepFocus };

/// Shows or hides window as form says, now and on every change of the form.
void FollowFormVisibility(QWidget& window, TForm& form, TShowActivation activation);

/// Moves window, frame included, to the middle of the screen that holds the
/// mouse, and wholly onto that screen's free area. Where the desktop places
/// windows itself (Wayland), the move is ignored.
void CentreOnMouseScreen(QWidget& window);
