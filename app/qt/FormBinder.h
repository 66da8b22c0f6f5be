#pragma once
// Binds the widgets of one window to the control objects of its form, both
// ways: user input goes to the control's setter or user-event entry point;
// every change of a control is copied to its widget with signals blocked, so
// nothing loops back. Focus moves between bound widgets go to the form, which
// runs the exit reactions; focus moves made by the form go to the widgets.

#include "app/Form.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QWidget;
class TApplication;
class TLedWidget;

class TFormBinder final : public QObject {
public:
  /// form and application must outlive the widgets bound here; window owns
  /// this binder. Every user action runs through application.Perform.
  TFormBinder(TForm& form, QWidget& window, TApplication& application);

  /// Enabled, visible, hint, font, right-click menu and focus of any control.
  void BindControl(TControl& control, QWidget& widget);
  void BindEdit(TEdit& edit, QLineEdit& widget);
  void BindCheckBox(TCheckBox& box, QCheckBox& widget);
  void BindComboBox(TCustomList& list, QComboBox& widget);
  void BindListBox(TCustomList& list, QListWidget& widget);
  void BindTrackBar(TTrackBar& bar, QSlider& widget);
  void BindButton(TButton& button, QPushButton& widget);
  void BindLabel(TLabel& label, QLabel& widget);
  void BindGroupBox(TGroupBox& group, QGroupBox& widget);
  /// A group drawn as frame plus a title: a check box and its caption.
  void BindTitledGroup(TGroupBox& group, QWidget& frame, QLabel& title, TCheckBox& box, QCheckBox& boxWidget);
  void BindShape(TShape& shape, TLedWidget& widget);

  /// The widget bound to control, or null.
  QWidget* WidgetOf(const TControl& control) const;
  /// Enter in the window: presses the focused button, else the form's
  /// default button. Returns false when there is neither.
  bool PressEnter();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  /// Runs refresh now and after every change of control, while widget lives.
  void Follow(TControl& control, QWidget& widget, std::function<void()> refresh);
  void ShowPopupMenu(TControl& control, QWidget& widget, const QPoint& position);
  /// Opens the menu of the nearest bound widget around widget that has one;
  /// false when there is none.
  bool ShowEnclosingMenu(QWidget& widget, const QPoint& globalPosition);
  void FollowFormFocus();

  /// Runs a user action as a command of the application.
  void Perform(const std::function<void()>& action);

  TForm& FForm;
  TApplication& FApplication;
  QPointer<QWidget> FWindow;
  std::map<const TControl*, QPointer<QWidget>> FWidgets;
  std::map<const QObject*, TControl*> FControls;
};
