#include "tests/fakes/FakeDialogs.h"

#include <filesystem>

TModalResult TFakeDialogs::SuppressibleQuestion(const std::string& text, const std::string&, TMsgButtons,
                                                bool& dontShowAgain) {
  Questions.push_back(text);
  if (Answers.empty()) {
    dontShowAgain = false;
    return TModalResult::No;
  }
  auto [result, box] = Answers.front();
  Answers.pop_front();
  dontShowAgain = box;
  return result;
}

TModalResult TFakeDialogs::Confirm(const std::string& text, TMsgButtons buttons, int helpContext) {
  Questions.push_back(text);
  ConfirmHelp.push_back(helpContext);
  if (Answers.empty()) return buttons == TMsgButtons::YesNo ? TModalResult::No : TModalResult::Cancel;
  const TModalResult result = Answers.front().first;
  Answers.pop_front();
  return result;
}

std::optional<std::string> TFakeDialogs::NextPath(const TFileDialogOptions& options) {
  FileDialogs.push_back(options);
  if (Paths.empty()) return std::nullopt;
  auto p = Paths.front();
  Paths.pop_front();
  return p;
}

std::optional<std::string> TFakeDialogs::OpenFileName(const TFileDialogOptions& options) {
  auto p = NextPath(options);
  // The open dialog does not let the user accept a name that does not exist.
  if (p && options.FileMustExist && !std::filesystem::exists(*p)) return std::nullopt;
  return p;
}

std::optional<std::string> TFakeDialogs::SaveFileName(const TFileDialogOptions& options) { return NextPath(options); }
