#pragma once
// The Event Log window of the Tools menu: this run's output events (starts,
// stops, dropouts, device losses, clipping, performance stops), one row
// each, as the event log file holds them. Copy puts the table on the
// clipboard as tab-separated text with a header row.

#include "app/Controls.h"
#include "app/Form.h"

#include <functional>
#include <string>

class TEventLog;
struct TLogEvent;

class TfrmEventLog : public TForm {
public:
  /// The columns of every row of lstEvents, tab-separated in that order.
  static constexpr const char* Columns = "Time (UTC)\tEvent\tDevice\tDetails";

  /// Creates the window hidden; log must outlive it.
  explicit TfrmEventLog(TEventLog& log);

  TLabel lblFile{this, "lblFile"};
  /// One entry per event: its columns, tab-separated.
  TListBox lstEvents{this, "lstEvents"};
  TButton btnCopy{this, "btnCopy"};
  TButton btnClose{this, "btnClose"};

  void Show();
  /// Hands CopyText to OnCopy (the view puts it on the clipboard).
  void btnCopyClick();
  void btnCloseClick();
  /// The header row and every row, each ending in a newline.
  std::string CopyText() const;
  /// The log gained an event.
  void LogAppended();

  /// The row of an event: time, kind, device and "name=value" details.
  static std::string Row(const TLogEvent& event);

  std::function<void(const std::string&)> OnCopy;

private:
  TEventLog& FLog;
};
