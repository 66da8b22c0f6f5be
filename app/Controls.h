#pragma once
// Toolkit-free control objects of the windows. They hold what a widget shows
// and carry the reactions of the window that owns them. Assigning a property
// from code has the same effect as the user doing it:
//   - a check box whose state changes runs OnClick,
//   - an edit whose text changes runs OnChange (an equal text runs nothing),
//   - a slider whose position changes runs OnChange,
//   - selecting a list entry and setting a menu check mark run nothing.
// Every property change notifies the control's observers so that a view can
// follow; a view feeds user input through the same setters, plus the explicit
// user-event entry points (UserSelect, Click).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TForm;
class TMenuItem;

/// 0x00RRGGBB, or one of the system colours below (high bit set).
using TColor = uint32_t;

constexpr TColor RGBColor(uint8_t r, uint8_t g, uint8_t b) {
  return (TColor(r) << 16) | (TColor(g) << 8) | TColor(b);
}
constexpr TColor clBlack = RGBColor(0, 0, 0);
constexpr TColor clMaroon = RGBColor(128, 0, 0);
constexpr TColor clGreen = RGBColor(0, 128, 0);
constexpr TColor clBlue = RGBColor(0, 0, 255);
constexpr TColor clGray = RGBColor(128, 128, 128);
constexpr TColor clRed = RGBColor(255, 0, 0);
constexpr TColor clAmber = RGBColor(255, 176, 0);
/// The desktop's text colour for windows and controls.
constexpr TColor clWindowText = 0x80000008u;
/// The desktop's face colour of buttons and panels.
constexpr TColor clBtnFace = 0x8000000Fu;

/// True for the desktop's named colours, which a view resolves itself.
constexpr bool IsSystemColor(TColor c) { return (c & 0x80000000u) != 0; }

struct TFont {
  bool Bold = false;
  bool Underline = false;
  TColor Color = clWindowText;
  /// Points; 0 the desktop's usual size.
  int Size = 0;
  bool operator==(const TFont&) const = default;
};

using TEvent = std::function<void()>;
using TObserver = std::function<void()>;

class TControl {
public:
  /// Registers the control with its form (when given) under its name.
  TControl(TForm* owner, std::string name);
  virtual ~TControl() = default;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  const std::string& Name() const { return FName; }
  TForm* Owner() const { return FOwner; }

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& value);
  /// The text a button, check box, label, group box or window shows.
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& value);

  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& value);
  void SetFontColor(TColor value);
  void SetFontBold(bool value);
  void SetFontUnderline(bool value);
  void SetFontSize(int points);

  /// The right-click menu (its items are the children), or null.
  TMenuItem* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TMenuItem* menu) { FPopupMenu = menu; }

  /// Help topic of the control; 0 = the form's.
  int HelpContext = 0;

  /// Enabled and visible, in an enabled form: it can take the keyboard focus.
  bool CanFocus() const;
  /// The control holds its form's keyboard focus.
  bool Focused() const;

  /// Runs when the keyboard focus moves from this control to another one of its form.
  TEvent OnExit;
  /// Runs when this control receives the keyboard focus.
  TEvent OnEnter;

  /// Calls observer after every change of a property of this control.
  void AddObserver(TObserver observer);

protected:
  void Changed() const;
  /// Assigns value to field; notifies and returns true when it differed.
  template <class T>
  bool Assign(T& field, const T& value) {
    if (field == value) return false;
    field = value;
    Changed();
    return true;
  }

private:
  TForm* FOwner;
  std::string FName;
  bool FEnabled = true;
  bool FVisible = true;
  std::string FHint;
  std::string FCaption;
  TFont FFont;
  TMenuItem* FPopupMenu = nullptr;
  std::vector<TObserver> FObservers;
};

class TEdit : public TControl {
public:
  using TControl::TControl;
  /// A focused edit keeps Ctrl+C, Ctrl+X and Ctrl+Z for its text (copy, cut,
  /// undo); every other menu key runs its command there too.
  static bool KeepsShortCut(const std::string& shortCut);
  const std::string& Text() const { return FText; }
  /// A different text runs OnChange after it is stored; an equal one runs nothing.
  void SetText(const std::string& value);
  TEvent OnChange;

private:
  std::string FText;
};

class TCheckBox : public TControl {
public:
  using TControl::TControl;
  bool Checked() const { return FChecked; }
  /// A changed state runs OnClick after it is stored.
  void SetChecked(bool value);
  /// The user's click: toggles the state (which runs OnClick).
  void Toggle() { SetChecked(!FChecked); }
  TEvent OnClick;

private:
  bool FChecked = false;
};

/// A list of texts with one selected entry (drop-down or plain list).
/// Items may carry a picture index for owner drawing (-1 = none).
class TCustomList : public TControl {
public:
  using TControl::TControl;
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  const std::vector<std::string>& Items() const { return FItems; }
  /// Replaces the entries; the selection becomes -1.
  void SetItems(std::vector<std::string> items);
  /// Appends one entry with an optional picture index.
  void AddItem(const std::string& text, int32_t imageIndex = -1);
  /// Picture index of entry i; -1 for none or for an index outside the list.
  int32_t ItemImage(int32_t i) const;

  /// Selected entry; -1 = none.
  int32_t ItemIndex() const { return FItemIndex; }
  /// Selects from code and runs nothing; an index outside the list selects none (-1).
  void SetItemIndex(int32_t index);
  /// The selected entry's text, empty when none is selected.
  std::string Text() const;
  /// The user's selection: selects like SetItemIndex, then runs OnChange.
  void UserSelect(int32_t index);
  TEvent OnChange;

private:
  std::vector<std::string> FItems;
  std::vector<int32_t> FImages;
  int32_t FItemIndex = -1;
};

class TComboBox : public TCustomList {
public:
  using TCustomList::TCustomList;
};

class TListBox : public TCustomList {
public:
  using TCustomList::TCustomList;
};

class TTrackBar : public TControl {
public:
  using TControl::TControl;
  int32_t Min() const { return FMin; }
  int32_t Max() const { return FMax; }
  /// Sets the range; the position is pulled into it (which may run OnChange).
  void SetRange(int32_t min, int32_t max);
  int32_t Position() const { return FPosition; }
  /// Clamps to Min..Max; a changed position runs OnChange after it is stored.
  void SetPosition(int32_t value);
  /// Distance between tick marks, in positions.
  int32_t Frequency = 1;
  /// Positions moved by Page Up / Page Down and by one notch of the wheel.
  int32_t PageSize = 1;
  /// A labelled mark of the scale beside the bar.
  struct TScaleMark {
    int32_t Position;
    std::string Text;
  };
  std::vector<TScaleMark> Scale;
  TEvent OnChange;

private:
  int32_t FMin = 0;
  int32_t FMax = 10;
  int32_t FPosition = 0;
};

class TButton : public TControl {
public:
  using TControl::TControl;
  /// Enter in the window acts on the default button.
  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  /// The user's press (or a press from code): runs OnClick.
  void Click();
  TEvent OnClick;

private:
  bool FDefault = false;
};

class TLabel : public TControl {
public:
  using TControl::TControl;
  TEvent OnClick;
  TEvent OnMouseEnter;
  TEvent OnMouseLeave;
};

class TGroupBox : public TControl {
public:
  using TControl::TControl;
};

enum class TShapeType { Rectangle, Circle };

class TShape : public TControl {
public:
  using TControl::TControl;
  TShapeType Shape = TShapeType::Circle;
  TColor BrushColor() const { return FBrushColor; }
  void SetBrushColor(TColor value);

private:
  TColor FBrushColor = clBtnFace;
};

class TProgressBar : public TControl {
public:
  using TControl::TControl;
  int32_t Min() const { return FMin; }
  int32_t Max() const { return FMax; }
  void SetRange(int32_t min, int32_t max);
  int32_t Position() const { return FPosition; }
  /// Clamps to Min..Max.
  void SetPosition(int32_t value);

private:
  int32_t FMin = 0;
  int32_t FMax = 100;
  int32_t FPosition = 0;
};

/// A menu entry; a menu bar, a drop-down menu or a popup menu is an item
/// whose children are its entries. A separator has the caption "-".
class TMenuItem : public TControl {
public:
  using TControl::TControl;
  /// Shortcut as text ("Ctrl+N", "Shift+F5", "F9"); empty for none.
  const std::string& ShortCut() const { return FShortCut; }
  void SetShortCut(const std::string& value);
  bool Checked() const { return FChecked; }
  /// Sets the check mark; runs nothing.
  void SetChecked(bool value);
  /// Appends a child entry (not owned).
  void Add(TMenuItem& item);
  const std::vector<TMenuItem*>& Children() const { return FChildren; }
  /// The user's choice or its shortcut: runs OnClick when the item and every
  /// menu above it are enabled, also while it is hidden (a disabled menu
  /// locks its items' shortcuts too).
  void Click();
  TEvent OnClick;
  /// The item's key: runs OnShortCut instead of OnClick when one is set,
  /// under the same enabling as Click.
  void PressShortCut();
  TEvent OnShortCut;
  /// The key acts in every window of the program, not only in its own
  /// (where the desktop-wide key cannot be grabbed, the window's key stands in).
  bool ProgramWideShortCut = false;

private:
  bool MenusEnabled() const;
  std::string FShortCut;
  bool FChecked = false;
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FChildren;
};
