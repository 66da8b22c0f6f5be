#pragma once
// How a generator message reaches every running generator: the sender's own
// window in-process, the others through a bus between processes.

#include "sync/GeneratorMessages.h"

#include <cstdint>
#include <functional>

/// Receives a generator message: number, wParam, lParam.
using TGeneratorReceiver = std::function<void(uint32_t, uint32_t, int32_t)>;

class TGeneratorBroadcast {
public:
  virtual ~TGeneratorBroadcast() = default;
  /// Delivers a message to every generator, the sender's own window included,
  /// one after the other, and returns once each has handled it. number is
  /// read again at each send, so a broadcast started by a receiver changes
  /// what the remaining generators get.
  virtual void Broadcast(const uint32_t& number, uint32_t wParam, int32_t lParam) = 0;
};

/// The broadcast of a window that knows no other generator.
class TLocalBroadcast final : public TGeneratorBroadcast {
public:
  explicit TLocalBroadcast(TGeneratorReceiver own) : FOwn(std::move(own)) {}
  void Broadcast(const uint32_t& number, uint32_t wParam, int32_t lParam) override { FOwn(number, wParam, lParam); }

private:
  TGeneratorReceiver FOwn;
};
