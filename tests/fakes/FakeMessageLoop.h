#pragma once
// A scripted GUI loop for tests: Sleep moves a fake clock instead of waiting,
// ProcessMessages runs the posted calls and dispatches every source.

#include "platform/MessageLoop.h"
#include "tests/fakes/FakeClock.h"

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

class TFakeMessageLoop final : public TMessageLoop {
public:
  /// Runs posted calls and dispatches the sources until nothing is left to run.
  void ProcessMessages() override;
  /// Advances Clock by ms, counts the sleep, then runs OnSleep if set.
  void Sleep(int ms) override;
  void Post(std::function<void()> call) override;
  void AddSource(TMessageSource& source) override;
  void RemoveSource(TMessageSource& source) override;

  /// Posted calls not yet run.
  size_t PendingPosts() const;
  bool HasSource(const TMessageSource& source) const;

  TFakeClock Clock;
  int SleepCount = 0;
  int SleptMs = 0;
  int ProcessCount = 0;
  /// Runs after every Sleep, for tests that make things happen while the code under test waits.
  std::function<void()> OnSleep;

private:
  bool RunPosted();

  mutable std::mutex FMutex;
  std::deque<std::function<void()>> FPosted;
  std::vector<TMessageSource*> FSources;
};
