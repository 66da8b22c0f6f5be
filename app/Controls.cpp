#include "app/Controls.h"

#include "app/Form.h"

#include <algorithm>
#include <utility>

TControl::TControl(TForm* owner, std::string name) : FOwner(owner), FName(std::move(name)) {
  if (FOwner) FOwner->Register(*this);
}

void TControl::SetEnabled(bool value) { Assign(FEnabled, value); }
void TControl::SetVisible(bool value) { Assign(FVisible, value); }
void TControl::SetHint(const std::string& value) { Assign(FHint, value); }
void TControl::SetCaption(const std::string& value) { Assign(FCaption, value); }
void TControl::SetFont(const TFont& value) { Assign(FFont, value); }

void TControl::SetFontColor(TColor value) {
  TFont f = FFont;
  f.Color = value;
  SetFont(f);
}

void TControl::SetFontBold(bool value) {
  TFont f = FFont;
  f.Bold = value;
  SetFont(f);
}

void TControl::SetFontSize(int points) {
  TFont f = FFont;
  f.Size = points;
  SetFont(f);
}

void TControl::SetFontUnderline(bool value) {
  TFont f = FFont;
  f.Underline = value;
  SetFont(f);
}

bool TControl::CanFocus() const {
  return FEnabled && FVisible && (!FOwner || FOwner->Enabled());
}

bool TControl::Focused() const { return FOwner && FOwner->ActiveControl() == this; }

void TControl::AddObserver(TObserver observer) { FObservers.push_back(std::move(observer)); }

void TControl::Changed() const {
  for (const auto& o : FObservers) o();
}

bool TEdit::KeepsShortCut(const std::string& shortCut) {
  return shortCut == "Ctrl+C" || shortCut == "Ctrl+X" || shortCut == "Ctrl+Z";
}

void TEdit::SetText(const std::string& value) {
  if (Assign(FText, value) && OnChange) OnChange();
}

void TCheckBox::SetChecked(bool value) {
  if (Assign(FChecked, value) && OnClick) OnClick();
}

void TCustomList::SetItems(std::vector<std::string> items) {
  FItems = std::move(items);
  FImages.assign(FItems.size(), -1);
  FItemIndex = -1;
  Changed();
}

void TCustomList::AddItem(const std::string& text, int32_t imageIndex) {
  FItems.push_back(text);
  FImages.push_back(imageIndex);
  Changed();
}

int32_t TCustomList::ItemImage(int32_t i) const {
  return i >= 0 && i < Count() ? FImages[static_cast<size_t>(i)] : -1;
}

void TCustomList::SetItemIndex(int32_t index) {
  Assign(FItemIndex, index >= 0 && index < Count() ? index : int32_t{-1});
}

std::string TCustomList::Text() const {
  return FItemIndex >= 0 ? FItems[static_cast<size_t>(FItemIndex)] : std::string();
}

void TCustomList::UserSelect(int32_t index) {
  SetItemIndex(index);
  if (OnChange) OnChange();
}

void TTrackBar::SetRange(int32_t min, int32_t max) {
  FMin = min;
  FMax = std::max(min, max);
  Changed();
  SetPosition(FPosition);
}

void TTrackBar::SetPosition(int32_t value) {
  if (Assign(FPosition, std::clamp(value, FMin, FMax)) && OnChange) OnChange();
}

void TButton::SetDefault(bool value) { Assign(FDefault, value); }

void TButton::Click() {
  if (OnClick) OnClick();
}

void TShape::SetBrushColor(TColor value) { Assign(FBrushColor, value); }

void TProgressBar::SetRange(int32_t min, int32_t max) {
  FMin = min;
  FMax = std::max(min, max);
  FPosition = std::clamp(FPosition, FMin, FMax);
  Changed();
}

void TProgressBar::SetPosition(int32_t value) { Assign(FPosition, std::clamp(value, FMin, FMax)); }

void TMenuItem::SetShortCut(const std::string& value) { Assign(FShortCut, value); }
void TMenuItem::SetChecked(bool value) { Assign(FChecked, value); }

void TMenuItem::Add(TMenuItem& item) {
  FChildren.push_back(&item);
  item.FParent = this;
  Changed();
}

bool TMenuItem::MenusEnabled() const {
  for (const TMenuItem* m = this; m; m = m->FParent)
    if (!m->Enabled()) return false;
  return true;
}

void TMenuItem::Click() {
  if (MenusEnabled() && OnClick) OnClick();
}

void TMenuItem::PressShortCut() {
  if (!OnShortCut) return Click();
  if (MenusEnabled()) OnShortCut();
}
