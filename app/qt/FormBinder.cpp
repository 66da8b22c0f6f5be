#include "app/qt/FormBinder.h"

#include "app/Application.h"

#include "app/qt/LedWidget.h"
#include "app/qt/MenuBinder.h"
#include "app/qt/QtColors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

/// Tick marks at the control's distance, thinned until they are at least
/// four pixels apart so that a long range does not paint a solid bar.
int TickInterval(const TTrackBar& bar, const QSlider& widget) {
  const int range = std::max(1, bar.Max() - bar.Min());
  const int pixels = std::max(1, widget.orientation() == Qt::Vertical ? widget.height() : widget.width());
  int interval = std::max(1, bar.Frequency);
  while (interval < range && double(pixels) * interval / range < 4.0) interval *= 10;
  return interval;
}

bool SameItems(const TCustomList& list, const QStringList& shown) {
  if (shown.size() != list.Count()) return false;
  for (int i = 0; i < list.Count(); ++i)
    if (shown[i] != Q(list.Items()[size_t(i)])) return false;
  return true;
}

QStringList ItemsOf(const TCustomList& list) {
  QStringList items;
  for (const std::string& item : list.Items()) items << Q(item);
  return items;
}

// Replaces the widget's items only when they differ, so that an unchanged list keeps its scroll position.
template <typename TWidget, typename TTextAt>
void ShowItems(const TCustomList& list, TWidget& widget, TTextAt textAt) {
  QStringList shown;
  for (int i = 0; i < widget.count(); ++i) shown << textAt(i);
  if (SameItems(list, shown)) return;
  widget.clear();
  widget.addItems(ItemsOf(list));
}

/// Enables or disables what a window shows, but not the windows it owns: a
/// disabled main window keeps its wait and progress windows usable.
void SetContentsEnabled(QWidget& window, bool enabled) {
  for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!child->isWindow()) child->setEnabled(enabled);
}

}  // namespace

TFormBinder::TFormBinder(TForm& form, QWidget& window, TApplication& application)
    : QObject(&window), FForm(form), FApplication(application), FWindow(&window) {
  FollowFormFocus();
}

void TFormBinder::Perform(const std::function<void()>& action) { FApplication.Perform(action); }

void TFormBinder::Follow(TControl& control, QWidget& widget, std::function<void()> refresh) {
  refresh();
  control.AddObserver([target = QPointer<QWidget>(&widget), refresh = std::move(refresh)] {
    if (target) refresh();
  });
}

void TFormBinder::FollowFormFocus() {
  FForm.AddObserver([this, window = FWindow] {
    if (!window) return;
    SetContentsEnabled(*window, FForm.Enabled());
    TControl* active = FForm.ActiveControl();
    QWidget* widget = active ? WidgetOf(*active) : nullptr;
    if (widget && !widget->hasFocus()) widget->setFocus(Qt::OtherFocusReason);
  });
}

void TFormBinder::BindControl(TControl& control, QWidget& widget) {
  FWidgets[&control] = &widget;
  FControls[&widget] = &control;
  widget.setObjectName(Q(control.Name()));
  widget.installEventFilter(this);
  Follow(control, widget, [&control, &widget] {
    widget.setEnabled(control.Enabled());
    // A widget not yet placed in its window is never shown on its own: it
    // would map as a window of its own and only come back in its place after
    // the window is shown (which then grows after it was placed).
    if (!control.Visible()) {
      widget.hide();
    } else if (!widget.isWindow()) {
      widget.show();
    }
    widget.setToolTip(Q(control.Hint()));
    ApplyFont(control.Font(), widget);
  });
  // A control without a menu of its own leaves the right click to the widget
  // (an edit's text menu) or to the group around it, as the user expects.
  Follow(control, widget, [&control, &widget] {
    widget.setContextMenuPolicy(control.PopupMenu() ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
  });
  connect(&widget, &QWidget::customContextMenuRequested, this,
          [this, &control, &widget](const QPoint& position) { ShowPopupMenu(control, widget, position); });
}

void TFormBinder::ShowPopupMenu(TControl& control, QWidget& widget, const QPoint& position) {
  if (control.PopupMenu() == nullptr) return;
  QMenu menu(&widget);
  FillMenu(menu, *control.PopupMenu(), false, FApplication);
  menu.exec(widget.mapToGlobal(position));
}

bool TFormBinder::ShowEnclosingMenu(QWidget& widget, const QPoint& globalPosition) {
  for (QWidget* outer = widget.parentWidget(); outer && !outer->isWindow(); outer = outer->parentWidget()) {
    const auto found = FControls.find(outer);
    if (found == FControls.end() || found->second->PopupMenu() == nullptr) continue;
    ShowPopupMenu(*found->second, *outer, outer->mapFromGlobal(globalPosition));
    return true;
  }
  return false;
}

void TFormBinder::BindEdit(TEdit& edit, QLineEdit& widget) {
  BindControl(edit, widget);
  connect(&widget, &QLineEdit::textEdited, this, [this, &edit](const QString& text) { Perform([&] { edit.SetText(text.toStdString()); }); });
  Follow(edit, widget, [&edit, &widget] {
    const QString text = Q(edit.Text());
    if (widget.text() == text) return;
    const QSignalBlocker blocker(widget);
    widget.setText(text);
  });
}

void TFormBinder::BindCheckBox(TCheckBox& box, QCheckBox& widget) {
  BindControl(box, widget);
  connect(&widget, &QCheckBox::clicked, this, [this, &box](bool checked) { Perform([&] { box.SetChecked(checked); }); });
  Follow(box, widget, [&box, &widget] {
    const QSignalBlocker blocker(widget);
    widget.setText(Q(box.Caption()));
    widget.setChecked(box.Checked());
  });
}

void TFormBinder::BindComboBox(TCustomList& list, QComboBox& widget) {
  BindControl(list, widget);
  connect(&widget, &QComboBox::activated, this, [this, &list](int index) { Perform([&] { list.UserSelect(index); }); });
  Follow(list, widget, [&list, &widget] {
    const QSignalBlocker blocker(widget);
    ShowItems(list, widget, [&widget](int i) { return widget.itemText(i); });
    widget.setCurrentIndex(list.ItemIndex());
  });
}

void TFormBinder::BindListBox(TCustomList& list, QListWidget& widget) {
  BindControl(list, widget);
  connect(&widget, &QListWidget::currentRowChanged, this, [this, &list](int row) { Perform([&] { list.UserSelect(row); }); });
  Follow(list, widget, [&list, &widget] {
    const QSignalBlocker blocker(widget);
    ShowItems(list, widget, [&widget](int i) { return widget.item(i)->text(); });
    widget.setCurrentRow(list.ItemIndex());
  });
}

void TFormBinder::BindTrackBar(TTrackBar& bar, QSlider& widget) {
  BindControl(bar, widget);
  connect(&widget, &QSlider::valueChanged, this, [this, &bar](int position) { Perform([&] { bar.SetPosition(position); }); });
  Follow(bar, widget, [&bar, &widget] {
    const QSignalBlocker blocker(widget);
    widget.setRange(bar.Min(), bar.Max());
    widget.setPageStep(bar.PageSize);
    widget.setValue(bar.Position());
    widget.setTickInterval(TickInterval(bar, widget));
  });
}

void TFormBinder::BindButton(TButton& button, QPushButton& widget) {
  BindControl(button, widget);
  connect(&widget, &QPushButton::clicked, this, [this, &button] { Perform([&] { button.Click(); }); });
  Follow(button, widget, [&button, &widget] {
    widget.setText(Q(button.Caption()));
    widget.setDefault(button.Default());
  });
}

void TFormBinder::BindLabel(TLabel& label, QLabel& widget) {
  BindControl(label, widget);
  Follow(label, widget, [&label, &widget] { widget.setText(Q(label.Caption())); });
}

void TFormBinder::BindGroupBox(TGroupBox& group, QGroupBox& widget) {
  BindControl(group, widget);
  Follow(group, widget, [&group, &widget] { widget.setTitle(Q(group.Caption())); });
}

void TFormBinder::BindTitledGroup(TGroupBox& group, QWidget& frame, QLabel& title, TCheckBox& box, QCheckBox& boxWidget) {
  BindControl(group, frame);
  BindCheckBox(box, boxWidget);
  // The title is the check box's caption: it greys out with the box or the group.
  const auto refresh = [&group, &box, &title] {
    title.setText(Q(group.Caption()));
    title.setEnabled(group.Enabled() && box.Enabled());
    ApplyFont(group.Font(), title);
  };
  Follow(group, title, refresh);
  Follow(box, title, refresh);
}

void TFormBinder::BindShape(TShape& shape, TLedWidget& widget) {
  BindControl(shape, widget);
  Follow(shape, widget, [&shape, &widget] { widget.SetColor(QtColor(shape.BrushColor(), widget)); });
}

QWidget* TFormBinder::WidgetOf(const TControl& control) const {
  const auto found = FWidgets.find(&control);
  return found == FWidgets.end() ? nullptr : found->second.data();
}

bool TFormBinder::PressEnter() {
  TButton* target = dynamic_cast<TButton*>(FForm.ActiveControl());
  if (target == nullptr || !target->Enabled()) target = FForm.DefaultButton();
  if (target == nullptr) return false;
  Perform([target] { target->Click(); });
  return true;
}

bool TFormBinder::eventFilter(QObject* watched, QEvent* event) {
  const auto found = FControls.find(watched);
  if (found == FControls.end()) return false;
  TControl& control = *found->second;
  switch (event->type()) {
  case QEvent::KeyPress:
    if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
      bool shown = false;
      Perform([&] { shown = FForm.HelpKeyPressed(); });
      if (shown) return true;
    }
    break;
  case QEvent::FocusIn:
    // Only moves inside the window reach the form; a window regaining the
    // focus gives it back to the control that had it, which runs nothing.
    Perform([&] { FForm.FocusControl(control); });
    break;
  case QEvent::Resize:
    if (auto* bar = dynamic_cast<TTrackBar*>(&control))
      if (auto* slider = qobject_cast<QSlider*>(watched)) slider->setTickInterval(TickInterval(*bar, *slider));
    break;
  case QEvent::ContextMenu:
    // A right click on a control without a menu of its own opens the menu of
    // the nearest group around it (also from disabled controls and lists,
    // which keep the click otherwise); an edit keeps its own text menu.
    if (control.PopupMenu() == nullptr && qobject_cast<QLineEdit*>(watched) == nullptr)
      return ShowEnclosingMenu(*static_cast<QWidget*>(watched), static_cast<QContextMenuEvent*>(event)->globalPos());
    break;
  case QEvent::Enter:
    if (auto* label = dynamic_cast<TLabel*>(&control); label && label->OnMouseEnter) Perform(label->OnMouseEnter);
    break;
  case QEvent::Leave:
    if (auto* label = dynamic_cast<TLabel*>(&control); label && label->OnMouseLeave) Perform(label->OnMouseLeave);
    break;
  case QEvent::MouseButtonRelease: {
    auto* label = dynamic_cast<TLabel*>(&control);
    auto* mouse = static_cast<QMouseEvent*>(event);
    auto* widget = static_cast<QWidget*>(watched);
    if (label && label->OnClick && mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint()))
      Perform(label->OnClick);
    break;
  }
  default:
    break;
  }
  return false;
}
