#pragma once
// Message boxes and file dialogs on Qt. Every box carries the application
// title ("Zephyra", "ON - Zephyra"), also before the main window exists.

#include "platform/Dialogs.h"

#include <QString>

#include <functional>

class QWidget;
class TApplication;

class TQtDialogs final : public TDialogs {
public:
  /// parent (may be null) owns the modal boxes; it must outlive this object.
  explicit TQtDialogs(QWidget* parent = nullptr);

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  TModalResult SuppressibleQuestion(const std::string& text, const std::string& caption,
                                    TMsgButtons buttons, bool& dontShowAgain) override;
  TModalResult Confirm(const std::string& text, TMsgButtons buttons, int helpContext) override;
  std::optional<std::string> OpenFileName(const TFileDialogOptions& options) override;
  std::optional<std::string> SaveFileName(const TFileDialogOptions& options) override;

  /// Later boxes are owned by parent (the main window once it exists).
  void SetParent(QWidget* parent) { FParent = parent; }
  /// The application whose title captions the boxes; it must outlive this
  /// object. Without one, the application display name.
  void SetApplication(const TApplication* application) { FApplication = application; }
  /// Shows a help topic for the boxes' Help buttons.
  void SetHelp(std::function<void(int)> showHelp) { FShowHelp = std::move(showHelp); }

private:
  std::optional<std::string> RunFileDialog(const TFileDialogOptions& options, bool save);
  QString Caption() const;
  QWidget* FParent;
  const TApplication* FApplication = nullptr;
  std::function<void(int)> FShowHelp;
};

/// "Presets|*.zep|All|*.*" becomes "Presets (*.zep);;All (*.*)"; patterns
/// separated by ';' become space-separated.
QString QtFileFilter(const std::string& filter);
