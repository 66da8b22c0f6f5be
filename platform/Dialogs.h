#pragma once
// Every modal message and file dialog of the windows goes through this
// service; message boxes carry the application title as caption.

#include <optional>
#include <string>

enum class TMsgButtons { OK, YesNo, OKCancel };

/// The button that closed a dialog; 0 (None) when nothing was shown.
enum class TModalResult { None = 0, OK = 1, Cancel = 2, Yes = 6, No = 7 };

struct TFileDialogOptions {
  std::string Title;
  std::string Filter;       ///< "Description|*.ext"
  std::string DefaultExt;   ///< without the dot
  std::string FileName;     ///< proposed name
  bool OverwritePrompt = false;
  /// An open dialog refuses a name that does not exist.
  bool FileMustExist = true;
};

class TDialogs {
public:
  virtual ~TDialogs() = default;
  /// A plain information box.
  virtual void ShowMessage(const std::string& text) = 0;
  /// The application's standard error report for an error that ended a command.
  virtual void ShowError(const std::string& text) = 0;
  /// A warning-style question with a "Don't show this message again." box;
  /// dontShowAgain receives the box's state when the dialog closed.
  virtual TModalResult SuppressibleQuestion(const std::string& text, const std::string& caption,
                                            TMsgButtons buttons, bool& dontShowAgain) = 0;
  /// A confirmation box with OK and Cancel, or Yes and No; a help context
  /// other than 0 gives it a Help button that shows that topic.
  virtual TModalResult Confirm(const std::string& text, TMsgButtons buttons, int helpContext) = 0;
  /// The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> OpenFileName(const TFileDialogOptions& options) = 0;
  virtual std::optional<std::string> SaveFileName(const TFileDialogOptions& options) = 0;
};
