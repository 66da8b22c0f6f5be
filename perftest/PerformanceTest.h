#pragma once
// The guided performance test of the Tools menu: a timed export of a 10 s
// stereo signal at 44.1 kHz, then test playbacks whose outcome the operator
// reports. It leaves the sample rate at 44100 Hz, at 22050 Hz when the
// operator reports trouble, or where it was when the operator cancels early.

#include "engine/NumberFormat.h"

#include <cstdint>
#include <string>

class TClock;
class TDialogs;
class TMessageLoop;
class TPerformanceTarget;

/// The result text of the timing measurement for dt milliseconds.
std::string TimingResult(uint32_t dtMs, const TNumberFormat& format);

class TPerformanceTest {
public:
  /// Everything given must outlive the test.
  TPerformanceTest(TPerformanceTarget& target, TDialogs& dialogs, TClock& clock, TMessageLoop& loop,
                   TNumberFormat format)
      : FTarget(target), FDialogs(dialogs), FClock(clock), FLoop(loop), FFormat(format) {}

  /// Runs the whole test with its prompts, GUI thread; returns when it ends.
  void Run();

private:
  void SlowComputer(int32_t savedRate);
  void FastComputer();
  bool Prompt(const std::string& text, int helpContext);
  bool Yes(const std::string& question);
  /// Starts the output and lets messages in until it has stopped.
  void WaitForPlayback();
  std::string NoTone(const std::string& what);

  TPerformanceTarget& FTarget;
  TDialogs& FDialogs;
  TClock& FClock;
  TMessageLoop& FLoop;
  TNumberFormat FFormat;
};
