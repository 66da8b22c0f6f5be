#pragma once
// The toolkit-free window: its controls, keyboard focus and default button.

#include "app/Controls.h"

#include <functional>
#include <string>
#include <vector>

class TForm : public TControl {
public:
  explicit TForm(std::string name);

  /// Every control created with this form as owner, in creation order.
  const std::vector<TControl*>& Controls() const { return FControls; }
  /// The control of that name, or null.
  TControl* FindControl(const std::string& name) const;

  /// The control holding the keyboard focus, or null.
  TControl* ActiveControl() const { return FActiveControl; }
  /// Moves the keyboard focus to control (from code or from the user) when it
  /// can take it: the exit reaction of the control that had it runs first, then
  /// the enter reaction of the new one. Returns whether control has the focus.
  /// Only moves inside the window run exit reactions: a view reports the window
  /// losing the focus by calling nothing.
  bool SetFocus(TControl& control);
  /// Same as SetFocus; the entry point a view calls when the user moves the focus.
  bool FocusControl(TControl& control) { return SetFocus(control); }

  /// The first enabled, visible button marked Default, or null: Enter presses it.
  TButton* DefaultButton() const;

  /// F1: shows the help topic of the highlighted menu item or, when it has
  /// none, of its open menu; with no menu open (or no context there), the
  /// window's. False when the window shows no help (the key goes on).
  bool HelpKeyPressed(const TMenuItem* openMenu = nullptr, const TMenuItem* highlighted = nullptr);
  /// Shows the help topic of a context number; the window's creator connects it.
  std::function<void(int)> OnHelp;

  /// The menu bar; its children are the drop-down menus.
  TMenuItem* Menu() const { return FMenu; }
  void SetMenu(TMenuItem* menu) { FMenu = menu; }

private:
  friend class TControl;
  void Register(TControl& control) { FControls.push_back(&control); }

  std::vector<TControl*> FControls;
  TControl* FActiveControl = nullptr;
  TMenuItem* FMenu = nullptr;
  bool FExiting = false;
};
