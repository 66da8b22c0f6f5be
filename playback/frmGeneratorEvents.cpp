// The window's event log: the log itself, what the output tells it, and the
// Event Log window of the Tools menu.

#include "app/frmGenerator.h"

#include "eventlog/EventLog.h"
#include "playback/OutputEvents.h"
#include "playback/frmEventLog.h"

void TfrmGenerator::CreateEventLog() {
  FEventLog = std::make_unique<TEventLog>(FServices.EventLogFile);
  FOutputEvents = std::make_unique<TOutputEvents>(*FEventLog);
  FEventLogWindow = std::make_unique<TfrmEventLog>(*FEventLog);
  FEventLog->OnAppended = [this] { FEventLogWindow->LogAppended(); };
  EventLog1.OnClick = [this] { FEventLogWindow->Show(); };
}
