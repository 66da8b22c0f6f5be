#pragma once
// A group whose title carries a check box: a title row (the check box and
// the title text) above a titleless frame that holds the group's controls.
// The check box only shows and reports its state (a click on the title text
// clicks it); what it enables is decided by the window logic.

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;

class TCheckGroupBox final : public QWidget {
public:
  explicit TCheckGroupBox(QWidget* parent = nullptr);
  QCheckBox& TitleCheckBox() const { return *FCheckBox; }
  QLabel& Title() const { return *FTitle; }
  /// The frame that holds the group's controls.
  QGroupBox& Frame() const { return *FFrame; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QCheckBox* FCheckBox;
  QLabel* FTitle;
  QGroupBox* FFrame;
};
