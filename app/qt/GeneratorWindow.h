#pragma once
// The main window on screen: the controls of the generator window laid out
// in their groups, the menus, and the application title in the title bar.
// Its size is fixed by its contents. The program ends with the window logic's
// request (Application.Terminate), which the close of this window makes.

#include <QMainWindow>
#include <QPixmap>

#include <memory>
#include <vector>

class QComboBox;
class QGridLayout;
class QLineEdit;
class TApplication;
class TfrmGenerator;
class TFormBinder;
class TQtRemoteInstrument;
struct TScpiOption;

class TQtGeneratorWindow final : public QMainWindow {
public:
  /// form and application must outlive the window.
  TQtGeneratorWindow(TfrmGenerator& form, TApplication& application);

  ~TQtGeneratorWindow() override;

  TFormBinder& Binder() const { return *FBinder; }
  /// Starts the remote instrument once every window exists (option: "--scpi" of the command line).
  void StartInstrument(const TScpiOption& option);

protected:
  bool event(QEvent* event) override;
  /// Every show opens the window centred on the screen with the mouse.
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  struct TChannelControls;
  QWidget* CreateTopRow();
  QWidget* CreateChannel(const TChannelControls& channel);
  QWidget* CreateMemoryRow();
  QWidget* CreateBottomRow();
  /// An edit just wide enough for longestText.
  QLineEdit* Edit(class TEdit& edit, const QString& longestText);
  QComboBox* OwnerDrawnCombo(class TComboBox& list);
  QComboBox* Combo(class TComboBox& list);
  void FollowApplicationTitle();
  /// "Remote Instrument..." at the end of the Tools menu.
  void AddInstrumentCommand();

  TfrmGenerator& FForm;
  TApplication& FApplication;
  std::vector<QPixmap> FPictures;
  TFormBinder* FBinder;
  bool FClosing = false;
  class QLabel* FInstrumentStatus = nullptr;
  std::unique_ptr<TQtRemoteInstrument> FInstrument;
};
