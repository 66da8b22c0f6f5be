#pragma once
// The notifications a wave-out device owes its targets (open, close), kept in
// the order the device produced them and delivered on the GUI thread. Every
// device implementation queues them here.

#include "platform/WaveOutDevice.h"

#include <cstddef>
#include <deque>

class TWaveNotes {
public:
  void PushOpen(TWaveOutTarget& target) { FNotes.push_back({TKind::Open, &target}); }
  void PushClose(TWaveOutTarget& target) { FNotes.push_back({TKind::Close, &target}); }
  /// Forgets every notification still owed to target.
  void Drop(const TWaveOutTarget& target);
  /// Delivers the oldest notification; false when there was none. One at a
  /// time, because a target may start or stop an output while it is delivered.
  bool DeliverNext();
  size_t Size() const { return FNotes.size(); }

private:
  enum class TKind { Open, Close };
  struct TNote {
    TKind Kind;
    TWaveOutTarget* Target;
  };
  std::deque<TNote> FNotes;
};
