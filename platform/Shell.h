#pragma once
// Hands work to other programs; nothing comes back and failures are not reported.

#include <string>
#include <vector>

class TShell {
public:
  virtual ~TShell() = default;
  /// Opens a web or mailto link with the desktop's handler.
  virtual void OpenUrl(const std::string& url) = 0;
  /// Starts a program detached from this one.
  virtual void StartProgram(const std::string& path, const std::vector<std::string>& args) = 0;
  /// Shows the help topic with this context number.
  virtual void ShowHelp(int context) = 0;
};
