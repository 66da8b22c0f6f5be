#pragma once
// What the windows of one process share: the application title, the busy
// flag of a running signal, the help file and the message number of the next
// synchronisation broadcast.

#include "app/Controls.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

class TDialogs;

class TApplication {
public:
  /// dialogs shows the errors that end a command.
  explicit TApplication(TDialogs& dialogs);

  /// The running state's title (task bar text); kept apart from any window caption.
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& value);

  /// True from the output's start event to its stop event (and during script waits).
  bool SignalBusy = false;
  /// Where the help topics are; windows assign it before they show help.
  std::string HelpFile;
  /// The running program's executable path (a new instance starts it).
  std::string ExeName;
  /// Message number the next synchronisation broadcast sends.
  uint32_t BroadcastMessage = 0;

  /// Asks the view to bring the application's windows to the front.
  void BringToFront();
  TEvent OnBringToFront;

  /// Runs a command; a conversion or other error that escapes it ends the
  /// command and is shown in the standard error box. Views run every user
  /// action through this.
  void Perform(const std::function<void()>& command);
  /// Shows the standard error box for an error that ended a command.
  void HandleException(const std::exception& e);

  /// Ends the program once the current command is done (the main window's
  /// close); the view leaves its message loop through OnTerminate.
  void Terminate();
  bool Terminated() const { return FTerminated; }
  TEvent OnTerminate;

  /// Calls observer after every change of the title.
  void AddObserver(TObserver observer);

private:
  TDialogs& FDialogs;
  std::string FTitle;
  bool FTerminated = false;
  std::vector<TObserver> FObservers;
};
