#include "app/render/NullServices.h"

#include <algorithm>

TModalResult TStreamDialogs::SuppressibleQuestion(const std::string&, const std::string&, TMsgButtons,
                                                  bool& dontShowAgain) {
  dontShowAgain = false;
  return TModalResult::No;
}

void TStreamDialogs::Print(const std::string& text) {
  if (Quiet) return;
  std::string line = text;
  std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  FStream << FProgram << ": " << line << '\n';
}
