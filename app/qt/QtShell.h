#pragma once
// Hands work to the desktop: links, detached programs, and the help topics,
// HTML files in a help folder beside the program (HelpTopics.h names them).

#include "platform/Shell.h"

#include <QStringList>

#include <functional>
#include <memory>

class THelpViewer;

class TQtShell final : public TShell {
public:
  /// helpFolders are searched in order for a topic's file.
  explicit TQtShell(QStringList helpFolders);
  ~TQtShell() override;

  void OpenUrl(const std::string& url) override;
  void StartProgram(const std::string& path, const std::vector<std::string>& args) override;
  /// Shows the topic in the help viewer; a missing topic is reported there.
  void ShowHelp(int context) override;

  /// Brings a help viewer that is open in front of the program's other
  /// windows (the introduction asked for before the main window appeared).
  void RaiseHelp();
  /// The viewer once a topic was shown, else null.
  THelpViewer* Viewer() const { return FViewer.get(); }
  /// What F12 in the viewer does (opens or closes the Response window).
  void SetResponseKey(std::function<void()> toggle) { FToggleResponse = std::move(toggle); }

private:
  void CreateViewer();

  QStringList FHelpFolders;
  std::function<void()> FToggleResponse;
  std::unique_ptr<THelpViewer> FViewer;
};

/// The help folders of a program at programDir: "help" in each folder that
/// holds its companion files.
QStringList DefaultHelpFolders(const QString& programDir);
