#pragma once
// A shell for tests: records what would have been opened or started.

#include "platform/Shell.h"

#include <string>
#include <utility>
#include <vector>

class TFakeShell final : public TShell {
public:
  void OpenUrl(const std::string& url) override { Urls.push_back(url); }
  void StartProgram(const std::string& path, const std::vector<std::string>& args) override {
    Programs.emplace_back(path, args);
  }
  void ShowHelp(int context) override { HelpTopics.push_back(context); }

  std::vector<std::string> Urls;
  std::vector<std::pair<std::string, std::vector<std::string>>> Programs;
  std::vector<int> HelpTopics;
};
