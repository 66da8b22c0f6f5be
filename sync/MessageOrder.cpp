#include "sync/MessageOrder.h"

#include <utility>

void TMessageOrder::Run(std::function<void()> command) {
  FWaiting.push_back(std::move(command));
  if (FRunning) return;
  FRunning = true;
  struct TEnd {
    bool& running;
    ~TEnd() { running = false; }
  } end{FRunning};
  while (!FWaiting.empty()) {
    const std::function<void()> next = std::move(FWaiting.front());
    FWaiting.pop_front();
    next();
  }
}
