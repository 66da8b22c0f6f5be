#pragma once
// The GUI thread's message loop on Qt's event loop: sources wake it through
// a socket notifier on their descriptor, posted calls arrive as queued calls.

#include "platform/MessageLoop.h"

#include <QObject>

#include <map>
#include <memory>

class QSocketNotifier;

class TQtMessageLoop final : public TMessageLoop {
public:
  /// Create on the GUI thread, after the QApplication; posted calls run there.
  TQtMessageLoop();
  ~TQtMessageLoop() override;

  /// Handles pending Qt events, then dispatches every source once.
  void ProcessMessages() override;
  /// Blocks the GUI thread for ms milliseconds.
  void Sleep(int ms) override;
  /// Thread-safe: queues call to the GUI thread in posting order.
  void Post(std::function<void()> call) override;
  /// Watches source's descriptor (if any) and dispatches it in ProcessMessages.
  void AddSource(TMessageSource& source) override;
  void RemoveSource(TMessageSource& source) override;

private:
  QObject FContext;  ///< lives in the GUI thread; receives posted calls
  std::map<TMessageSource*, std::unique_ptr<QSocketNotifier>> FSources;
};
