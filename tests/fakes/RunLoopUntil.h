#pragma once
// Handles a message loop's messages until a condition holds or a time has
// passed: how tests wait for what a real device or server reports.

#include "platform/PlainMessageLoop.h"

#include <chrono>
#include <functional>

/// Handles messages until done() holds (true) or `seconds` have passed (false).
inline bool RunLoopUntil(TPlainMessageLoop& loop, const std::function<bool()>& done, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done())
    if (std::chrono::steady_clock::now() > deadline) return false;
    else loop.WaitMessages(10);
  return true;
}

/// Handles messages for `seconds`.
inline void RunLoopFor(TPlainMessageLoop& loop, double seconds) { RunLoopUntil(loop, [] { return false; }, seconds); }
