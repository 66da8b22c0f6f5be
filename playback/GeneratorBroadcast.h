#pragma once
// How the ON, OFF and Pause commands reach every generator when "Sync all
// Generators" is ticked. The in-process broadcast reaches only its own window;
// a bus between processes replaces it behind the same interface.

#include <cstdint>
#include <functional>

/// Window message numbers of the generator commands.
enum TGeneratorMessage : uint32_t {
  gmStart = 1024,
  gmStop = 1025,
  gmPause = 1026,
  gmSync = 1027,
};

class TGeneratorBroadcast {
public:
  virtual ~TGeneratorBroadcast() = default;
  /// Delivers the message to every generator, the sender's own window
  /// included, and returns once each has handled it.
  virtual void Broadcast(uint32_t number, uint32_t wParam, int32_t lParam) = 0;
};

/// Receives a generator message: number, wParam, lParam.
using TGeneratorReceiver = std::function<void(uint32_t, uint32_t, int32_t)>;

/// The broadcast of a window that knows no other generator.
class TLocalBroadcast final : public TGeneratorBroadcast {
public:
  explicit TLocalBroadcast(TGeneratorReceiver own) : FOwn(std::move(own)) {}
  void Broadcast(uint32_t number, uint32_t wParam, int32_t lParam) override { FOwn(number, wParam, lParam); }

private:
  TGeneratorReceiver FOwn;
};
