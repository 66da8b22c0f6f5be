#include "playback/frmEventLog.h"

#include "eventlog/EventLog.h"

namespace {

/// Tabs and line breaks would split a cell or a row of the copied table.
std::string Cell(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

}  // namespace

TfrmEventLog::TfrmEventLog(TEventLog& log) : TForm("frmEventLog"), FLog(log) {
  SetCaption("Event Log");
  SetVisible(false);
  lblFile.SetCaption(log.File().empty() ? "This run's events (not written to a file)"
                                        : "This run's events, also in " + log.File().string());
  lstEvents.SetHint(Columns);
  btnCopy.SetCaption("&Copy");
  btnCopy.SetHint("Copies the table as tab-separated text (Ctrl+C)");
  btnClose.SetCaption("Close");
  btnClose.SetDefault(true);
  btnCopy.OnClick = [this] { btnCopyClick(); };
  btnClose.OnClick = [this] { btnCloseClick(); };
  LogAppended();
}

std::string TfrmEventLog::Row(const TLogEvent& event) {
  std::string details;
  for (const TLogField& field : event.Fields)
    details += (details.empty() ? "" : " ") + field.Name + "=" + FieldText(field);
  return IsoUtcTime(event.Time) + "\t" + Cell(event.Kind) + "\t" + Cell(event.Device) + "\t" + Cell(details);
}

void TfrmEventLog::Show() {
  LogAppended();
  SetVisible(true);
}

void TfrmEventLog::btnCopyClick() {
  if (OnCopy) OnCopy(CopyText());
}

void TfrmEventLog::btnCloseClick() { SetVisible(false); }

std::string TfrmEventLog::CopyText() const {
  std::string text = std::string(Columns) + "\n";
  for (const std::string& row : lstEvents.Items()) text += row + "\n";
  return text;
}

void TfrmEventLog::LogAppended() {
  const auto& events = FLog.ThisRun();
  // Rows only grow: the new events are appended, the view keeps its place.
  for (size_t i = static_cast<size_t>(lstEvents.Count()); i < events.size(); ++i) lstEvents.AddItem(Row(events[i]));
}
