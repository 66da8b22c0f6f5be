#include "app/Form.h"

#include <initializer_list>

#include <utility>

TForm::TForm(std::string name) : TControl(nullptr, std::move(name)) {}

TControl* TForm::FindControl(const std::string& name) const {
  for (TControl* c : FControls)
    if (c->Name() == name) return c;
  return nullptr;
}

bool TForm::SetFocus(TControl& control) {
  if (FActiveControl == &control) return true;
  if (control.Owner() != this || !control.CanFocus()) return false;
  TControl* previous = FActiveControl;
  if (previous && previous->OnExit && !FExiting) {
    // A move made by the exit reaction itself does not run it a second time.
    struct TGuard {
      bool& f;
      ~TGuard() { f = false; }
    } guard{FExiting = true};
    previous->OnExit();
    // The exit reaction may itself have moved the focus; that move stands.
    if (FActiveControl != previous) return FActiveControl == &control;
  }
  FActiveControl = &control;
  Changed();
  if (control.OnEnter) control.OnEnter();
  return true;
}

TButton* TForm::DefaultButton() const {
  for (TControl* c : FControls)
    if (auto* b = dynamic_cast<TButton*>(c); b && b->Default() && b->Enabled() && b->Visible()) return b;
  return nullptr;
}

bool TForm::HelpKeyPressed(const TMenuItem* openMenu, const TMenuItem* highlighted) {
  int context = HelpContext;
  for (const TMenuItem* item : {openMenu, highlighted})
    if (item && item->HelpContext != 0) context = item->HelpContext;
  if (!OnHelp || context == 0) return false;
  OnHelp(context);
  return true;
}
