#pragma once
// The GUI loop of programs without a toolkit (headless tools, device tests):
// sources are watched with poll(), posted calls wait in a locked queue.

#include "platform/MessageLoop.h"

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

class TPlainMessageLoop final : public TMessageLoop {
public:
  TPlainMessageLoop();
  ~TPlainMessageLoop() override;
  TPlainMessageLoop(const TPlainMessageLoop&) = delete;
  TPlainMessageLoop& operator=(const TPlainMessageLoop&) = delete;

  /// Runs the posted calls, then dispatches every source that is readable or has no descriptor.
  void ProcessMessages() override;
  /// Sleeps ms milliseconds; nothing is handled meanwhile.
  void Sleep(int ms) override;
  void Post(std::function<void()> call) override;
  void AddSource(TMessageSource& source) override;
  void RemoveSource(TMessageSource& source) override;
  /// GUI thread: waits at most timeoutMs for a post or a source to become ready, then processes messages.
  void WaitMessages(int timeoutMs);

private:
  void RunPosted();

  int FPostFd = -1;  // readable while posts wait
  std::mutex FMutex;
  std::deque<std::function<void()>> FPosted;
  std::vector<TMessageSource*> FSources;
};
