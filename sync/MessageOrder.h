#pragma once
// One generator command at a time. A message from the bus, or a broadcast
// asked for while another message or broadcast is being handled (a reply
// that arrives inside a message box, a click during a broadcast), waits and
// runs after it, in the order asked; so no message is ever handled inside
// another and a later command never overtakes an earlier one.

#include <deque>
#include <functional>

class TMessageOrder {
public:
  /// Runs command now when nothing runs; otherwise after what runs and
  /// what already waits.
  void Run(std::function<void()> command);
  bool Running() const { return FRunning; }

private:
  bool FRunning = false;
  std::deque<std::function<void()>> FWaiting;
};
