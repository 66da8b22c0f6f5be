#pragma once
// How a generator message reaches every running generator: the sender's own
// window in-process, the others through a bus between processes.

#include "sync/GeneratorMessages.h"

#include <cstdint>
#include <functional>

/// How a message reached a window. Own: the window's own broadcast, handled
/// first and in-process; Message: sent by any program to this generator;
/// Broadcast: another generator's broadcast, which reached every generator
/// by itself, so a change it makes is not broadcast again.
enum class TDelivery { Own, Message, Broadcast };

/// Receives a generator message: number, wParam, lParam and how it came.
using TGeneratorReceiver = std::function<void(uint32_t, uint32_t, int32_t, TDelivery)>;

class TGeneratorBroadcast {
public:
  virtual ~TGeneratorBroadcast() = default;
  /// Delivers a message to every generator: the sender's own window first,
  /// handled before this returns, then each other generator without waiting
  /// for it. Each generator gets the messages of one sender in order.
  virtual void Broadcast(uint32_t number, uint32_t wParam, int32_t lParam) = 0;
};

/// The broadcast of a window that knows no other generator.
class TLocalBroadcast final : public TGeneratorBroadcast {
public:
  explicit TLocalBroadcast(TGeneratorReceiver own) : FOwn(std::move(own)) {}
  void Broadcast(uint32_t number, uint32_t wParam, int32_t lParam) override {
    FOwn(number, wParam, lParam, TDelivery::Own);
  }

private:
  TGeneratorReceiver FOwn;
};
