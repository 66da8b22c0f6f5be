#pragma once
// The GUI thread's message loop as the window logic sees it. Everything of a
// generator runs on one GUI thread; other threads only hand work to it.

#include <functional>

/// Work that another thread hands to the GUI thread without taking a lock:
/// the producer makes WakeDescriptor readable, and the loop calls Dispatch on
/// the GUI thread. A device is such a source.
class TMessageSource {
public:
  virtual ~TMessageSource() = default;
  /// A descriptor that becomes readable when Dispatch has work (an eventfd),
  /// or -1 for a source that the loop only polls when it processes messages.
  virtual int WakeDescriptor() const = 0;
  /// GUI thread: runs every pending notification, in the order produced.
  virtual void Dispatch() = 0;
};

class TMessageLoop {
public:
  virtual ~TMessageLoop() = default;
  /// GUI thread: handles every pending message and source notification, then returns.
  virtual void ProcessMessages() = 0;
  /// GUI thread: waits ms milliseconds without handling messages.
  virtual void Sleep(int ms) = 0;
  /// Any ordinary thread (never a real-time one): runs call on the GUI thread
  /// at the next processing of messages, after the calls posted before it.
  virtual void Post(std::function<void()> call) = 0;
  /// GUI thread: the loop dispatches source from now on. The source must stay
  /// alive until it is removed.
  virtual void AddSource(TMessageSource& source) = 0;
  virtual void RemoveSource(TMessageSource& source) = 0;
};
