#include "script/ScriptRunner.h"

#include "persistence/FileError.h"
#include "platform/Dialogs.h"
#include "platform/MessageLoop.h"
#include "script/ScriptFile.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace {

/// A file at path, following a link; a directory does not count.
bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error) && !std::filesystem::is_directory(path, error);
}

}  // namespace

int ExitStatusOf(TScriptOutcome outcome, bool hadDropouts) {
  switch (outcome) {
    case TScriptOutcome::Finished:
      return hadDropouts ? 4 : 0;
    case TScriptOutcome::Failed:
      return 1;
    case TScriptOutcome::Stopped:
      return 3;
  }
  return 1;
}

TScriptRunner::TScriptRunner(std::unique_ptr<TScriptHost> host, TMessageLoop& loop, TDialogs& dialogs,
                             bool& signalBusy, TNumberFormat format)
    : FHost(std::move(host)), FLoop(loop), FDialogs(dialogs), FSignalBusy(signalBusy), FFormat(format) {}

TScriptRunner::~TScriptRunner() = default;

TScriptOutcome TScriptRunner::Run(const std::string& fileName) {
  if (FRunning) {
    // A cancelled run goes on until its current line has ended.
    FDialogs.ShowMessage("A script is still ending; try again in a moment");
    return TScriptOutcome::Failed;
  }
  FRunning = true;
  FStop = TStop::None;
  FPlayFailed = false;
  FHadDropouts = false;
  // A Loop state still kept back from an earlier run is the state before this one.
  const bool loop = FPendingLoop.value_or(FHost->LoopChecked());
  FPendingLoop.reset();
  FHost->DisableMainWindow();
  FHost->ShowProgress();
  std::optional<std::string> error;
  try {
    TScriptText text = LoadScriptFile(fileName);
    RunLines(text);
  } catch (const std::exception& e) {
    error = e.what();
    // The error may have left a wait with the flag set; nothing else would clear it.
    FSignalBusy = false;
  }
  RestoreLoop(loop);
  FHost->EnableMainWindow();
  FHost->HideProgress();
  FRunning = false;
  if (error) {
    FDialogs.ShowError(*error);
    return TScriptOutcome::Failed;
  }
  switch (FStop) {
    case TStop::None:
      return TScriptOutcome::Stopped;
    case TStop::Finished:
      return FPlayFailed ? TScriptOutcome::Failed : TScriptOutcome::Finished;
    case TStop::Failed:
      break;
  }
  return TScriptOutcome::Failed;
}

void TScriptRunner::RunLines(TScriptText& text) {
  int32_t lineNumber = 0;
  FWaitedThisPass = false;
  while (FHost->ProgressVisible()) {
    const std::optional<std::string_view> read = text.NextLine();
    ++lineNumber;
    const TScriptLine line = SplitScriptLine(read.value_or(""));
    FHost->SetProgressText("Line " + std::to_string(lineNumber) + ": " + line.Command + " " + line.Argument);
    RunLine(line, lineNumber, !read, text);
    // An output started by other means than the script is waited for before the next line.
    // Only while it plays: a start event that arrives after the wait that cleared the flag
    // sets it again with no stop event to come, and Cancel clears no flag.
    FLoop.ProcessMessages();
    while (FSignalBusy && !FHost->NextPressed() && FHost->OutputActive()) {
      FLoop.Sleep(kTickMs);
      FLoop.ProcessMessages();
    }
  }
}

void TScriptRunner::RunLine(const TScriptLine& line, int32_t& lineNumber, bool endOfFile, TScriptText& text) {
  if (line.FieldCount > kMaxScriptFields) return StopRun(TStop::Failed, TooManyFieldsMessage(lineNumber));
  switch (CommandOf(line.Command)) {
    case TScriptCommand::Play:
      Play(line, lineNumber);
      break;
    case TScriptCommand::Pause:
      Pause(line);
      break;
    case TScriptCommand::Delay:
      Delay(line);
      break;
    case TScriptCommand::Repeat:
      // Starting over without a wait would spin without ever handing the operator a tick.
      if (!FWaitedThisPass) return StopRun(TStop::Failed, RepeatWithoutWaitMessage(lineNumber));
      text.Rewind();
      lineNumber = 0;
      FWaitedThisPass = false;
      break;
    case TScriptCommand::Rem:
      break;
    case TScriptCommand::End:
      FStop = TStop::Finished;
      FHost->HideProgress();
      break;
    case TScriptCommand::Invalid:
      // Reading past the last line gives an empty, invalid line: the script is complete.
      StopRun(endOfFile ? TStop::Finished : TStop::Failed, InvalidCommandMessage(lineNumber));
      break;
  }
}

void TScriptRunner::StopRun(TStop stop, const std::string& message) {
  FDialogs.ShowMessage(message);
  FStop = stop;
  FHost->HideProgress();
}

void TScriptRunner::Play(const TScriptLine& line, int32_t lineNumber) {
  if (!LoadPresetFile(line.Remainder, lineNumber)) return;
  FHost->MemRecall(PlayMemoryOf(line, lineNumber));
  // The renderer reads Loop for every buffer, so a recall that started the output ends too.
  FHost->SetLoopChecked(false);
  FHost->StartSignal();
  // The output reports its stop only through the message loop: inactive here means it did not start.
  if (!FHost->OutputActive()) FPlayFailed = true;
  int32_t lostTicks = 0;
  while (Tick() && FHost->OutputActive() && !DeviceGaveUp(lineNumber, lostTicks)) {
  }
  FSignalBusy = false;
  ReportDropouts(line, lineNumber);
}

bool TScriptRunner::DeviceGaveUp(int32_t lineNumber, int32_t& lostTicks) {
  const std::optional<std::string> lostAt = FHost->OutputLostAt();
  lostTicks = lostAt ? lostTicks + 1 : 0;
  if (lostTicks * kTickMs < FDeviceWaitMs) return false;
  FHost->StopOutput();
  std::fprintf(stderr, "Line %d: the output device was lost at %s and did not return\n", lineNumber,
               lostAt->c_str());
  // The lost time is a dropout: the run ends as one with dropouts does (batch status 4).
  FHadDropouts = true;
  FStop = TStop::Finished;
  FHost->HideProgress();
  return true;
}

void TScriptRunner::ReportDropouts(const TScriptLine& line, int32_t lineNumber) {
  const TPlayDropouts dropouts = FHost->OutputDropouts();
  if (dropouts.Count <= 0) return;
  FHadDropouts = true;
  // A measurement taken from this signal is not to be trusted: say so where a batch run's log goes.
  std::fprintf(stderr, "Line %d: the output of play %s had %lld dropout%s, %.0f ms of silence in all\n",
               lineNumber, line.Remainder.c_str(), static_cast<long long>(dropouts.Count),
               dropouts.Count == 1 ? "" : "s", std::ceil(dropouts.Milliseconds));
}

bool TScriptRunner::LoadPresetFile(const std::string& path, int32_t lineNumber) {
  std::string problem;
  if (!FileExists(path)) {
    problem = "FILE NOT FOUND: '" + path + "'.";
  } else {
    try {
      if (const TPresetImageCheck check = FHost->LoadSettings(path)) {
        // Where a batch run's log goes, never a box that it would wait on.
        if (!check.Complete())
          std::fprintf(stderr, "Line %d: %s\n", lineNumber, PresetFileProblem(path, check).c_str());
        return true;
      }
      problem = "NOT A PRESET FILE: '" + path + "'. The line plays nothing.";
    } catch (const TFileError& e) {
      problem = e.what();
    }
  }
  FPlayFailed = true;
  FDialogs.ShowMessage(problem);
  return false;
}

void TScriptRunner::Pause(const TScriptLine& line) {
  if (line.Argument.empty())
    FDialogs.ShowMessage("Pause in script. Press OK to continue");
  else
    FDialogs.ShowMessage(line.Argument + " " + line.Remainder);
}

void TScriptRunner::Delay(const TScriptLine& line) {
  int32_t ticks = 0;
  while (Tick() && ++ticks < DelaySecondsOf(line, FFormat) * 10) {
  }
  FSignalBusy = false;
}

bool TScriptRunner::Tick() {
  FSignalBusy = true;
  FLoop.Sleep(kTickMs);
  FLoop.ProcessMessages();
  FWaitedThisPass = true;
  return FSignalBusy && !FHost->NextPressed();
}

void TScriptRunner::Abandon() {
  if (!FRunning) return;
  FSignalBusy = false;
  FHost->HideProgress();
}

void TScriptRunner::RestoreLoop(bool checked) {
  // Loop is read for every buffer: put back now, it would make a signal that
  // plays on after "Next" loop for ever.
  if (FHost->OutputActive())
    FPendingLoop = checked;
  else
    FHost->SetLoopChecked(checked);
}

void TScriptRunner::OutputStopped() {
  if (!FPendingLoop || FRunning) return;
  const bool checked = *FPendingLoop;
  FPendingLoop.reset();
  FHost->SetLoopChecked(checked);
}
