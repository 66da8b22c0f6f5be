#pragma once
// The script runner: executes a script file line by line on the GUI thread,
// waiting in 100 ms ticks through the message loop so that the output's
// events and the progress window's buttons reach it.

#include "engine/NumberFormat.h"
#include "persistence/PresetFile.h"
#include "script/ScriptLine.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class TDialogs;
class TMessageLoop;
class TScriptText;

/// The gaps the output played since its last start while it was meant to sound.
struct TPlayDropouts {
  int64_t Count = 0;
  double Milliseconds = 0;
};

/// What a run uses of its window: the window's handlers and controls, and its
/// progress window. Implemented by the window that owns the runner.
class TScriptHost {
public:
  virtual ~TScriptHost() = default;
  virtual bool LoopChecked() const = 0;
  /// Sets the Loop box from code (its click reaction runs on a change).
  virtual void SetLoopChecked(bool checked) = 0;
  /// The main window takes no input while a script runs.
  virtual void DisableMainWindow() = 0;
  /// Enables the main window and brings it to the front.
  virtual void EnableMainWindow() = 0;
  /// Loads a preset file into the four memories; what it held (false when
  /// its header is wrong: nothing changed); throws TFileError when it cannot be read.
  virtual TPresetImageCheck LoadSettings(const std::string& path) = 0;
  /// Recalls memory n (1 to 4) into the controls.
  virtual void MemRecall(int32_t n) = 0;
  /// Starts the output with the controls' signal unless it is active.
  virtual void StartSignal() = 0;
  virtual bool OutputActive() const = 0;
  /// The gaps of the output's last start.
  virtual TPlayDropouts OutputDropouts() = 0;
  /// While the output's device is lost: when the loss began, "HH:MM:SS".
  virtual std::optional<std::string> OutputLostAt() const = 0;
  /// Ends the output at once.
  virtual void StopOutput() = 0;
  virtual void ShowProgress() = 0;
  virtual void HideProgress() = 0;
  /// The run goes on while the progress window is visible.
  virtual bool ProgressVisible() const = 0;
  virtual void SetProgressText(const std::string& text) = 0;
  /// "Next" was pressed since the progress window was shown. The output's
  /// start event sets the busy flag again, so a "Next" pressed before it
  /// arrived would otherwise be lost.
  virtual bool NextPressed() const = 0;
};

/// How a run ended.
enum class TScriptOutcome {
  /// An `end` line or the end of the file, every `play` line played.
  Finished,
  /// A line the runner refused or could not carry out, a preset file that
  /// could not be used or an output that did not start.
  Failed,
  /// "Cancel" or "Next", or the window closed.
  Stopped,
};

/// The batch program's exit status: 0 finished, 1 failed, 3 stopped; 4
/// finished with dropouts in a `play` line.
int ExitStatusOf(TScriptOutcome outcome, bool hadDropouts = false);

class TScriptRunner {
public:
  /// The loop, the dialogs and the busy flag must outlive the runner.
  TScriptRunner(std::unique_ptr<TScriptHost> host, TMessageLoop& loop, TDialogs& dialogs, bool& signalBusy,
                TNumberFormat format);
  ~TScriptRunner();

  /// Runs the script file to its end and only then returns. Every error is
  /// reported to the operator here; the window is tidied up however the run
  /// ends. A call while a run is in progress says so and returns Failed.
  TScriptOutcome Run(const std::string& fileName);
  bool Running() const { return FRunning; }
  /// A `play` line of the last run had dropouts (each one reported on stderr).
  bool HadDropouts() const { return FHadDropouts; }
  /// The window is closing: a running wait ends within one tick and the run
  /// after the current line.
  void Abandon();
  /// The output stopped: a Loop state the end of a run kept back while the
  /// output still played is put into the box now.
  void OutputStopped();

  /// Length of one waiting tick.
  static constexpr int kTickMs = 100;
  /// How long a `play` line waits for a lost device to return.
  static constexpr int kDeviceWaitMs = 30000;
  /// Tests only: a shorter wait for a lost device.
  void SetDeviceWaitMs(int ms) { FDeviceWaitMs = ms; }

private:
  /// Why the runner itself hid the progress window.
  enum class TStop { None, Finished, Failed };

  void RunLines(TScriptText& text);
  /// Runs one line; `repeat` sets lineNumber back to 0.
  void RunLine(const TScriptLine& line, int32_t& lineNumber, bool endOfFile, TScriptText& text);
  void Play(const TScriptLine& line, int32_t lineNumber);
  /// One stderr line when the output of a `play` line had dropouts.
  void ReportDropouts(const TScriptLine& line, int32_t lineNumber);
  /// False (reported) when the preset file of a `play` line cannot be used;
  /// a truncated one is played as far as it reaches, with a line on stderr.
  bool LoadPresetFile(const std::string& path, int32_t lineNumber);
  void Pause(const TScriptLine& line);
  void Delay(const TScriptLine& line);
  /// Sets the busy flag, sleeps one tick and processes messages. False when
  /// the wait is to end: the flag was cleared or "Next" was pressed.
  bool Tick();
  void StopRun(TStop stop, const std::string& message);
  /// True (and the run ended) once the output's device has been lost longer than the wait.
  bool DeviceGaveUp(int32_t lineNumber, int32_t& lostTicks);
  void RestoreLoop(bool checked);

  std::unique_ptr<TScriptHost> FHost;
  TMessageLoop& FLoop;
  int FDeviceWaitMs = kDeviceWaitMs;
  TDialogs& FDialogs;
  bool& FSignalBusy;
  TNumberFormat FFormat;
  bool FRunning = false;
  TStop FStop = TStop::None;
  /// A `play` line played nothing.
  bool FPlayFailed = false;
  bool FHadDropouts = false;
  /// A tick was waited since the first line: `repeat` may start over.
  bool FWaitedThisPass = false;
  std::optional<bool> FPendingLoop;
};
