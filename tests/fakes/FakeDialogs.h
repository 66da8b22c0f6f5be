#pragma once
// Dialogs for tests: every message is recorded; questions and file dialogs
// take their answers from queues the test fills (default: No / cancelled).
// An open dialog that needs an existing file cancels at a missing one, as
// the real dialog never accepts it.

#include "platform/Dialogs.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

class TFakeDialogs final : public TDialogs {
public:
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  void ShowError(const std::string& text) override { Errors.push_back(text); }
  TModalResult SuppressibleQuestion(const std::string& text, const std::string& caption, TMsgButtons buttons,
                                    bool& dontShowAgain) override;
  /// Recorded in Questions (and its help context in ConfirmHelp); the answer
  /// comes from Answers, by default Cancel or No.
  TModalResult Confirm(const std::string& text, TMsgButtons buttons, int helpContext) override;
  std::optional<std::string> OpenFileName(const TFileDialogOptions& options) override;
  std::optional<std::string> SaveFileName(const TFileDialogOptions& options) override;

  std::vector<std::string> Messages;
  std::vector<std::string> Errors;
  std::vector<std::string> Questions;
  std::vector<int> ConfirmHelp;
  std::vector<TFileDialogOptions> FileDialogs;
  /// Answers of the next questions, with the state of their "don't show" box.
  std::deque<std::pair<TModalResult, bool>> Answers;
  /// Paths the next file dialogs return (nullopt: cancelled).
  std::deque<std::optional<std::string>> Paths;

private:
  std::optional<std::string> NextPath(const TFileDialogOptions& options);
};
