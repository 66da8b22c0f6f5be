#pragma once
// The notifications a wave-out device owes its targets (open, each returned
// buffer, close), kept in the order the device produced them and delivered on
// the GUI thread. Every device implementation queues them here.

#include "platform/WaveOutDevice.h"

#include <cstddef>
#include <deque>

class TWaveNotes {
public:
  void PushOpen(TWaveOutTarget& target) { FNotes.push_back({TKind::Open, &target, nullptr}); }
  void PushDone(TWaveOutTarget& target, TWaveHdr& header) { FNotes.push_back({TKind::Done, &target, &header}); }
  void PushClose(TWaveOutTarget& target) { FNotes.push_back({TKind::Close, &target, nullptr}); }
  /// Forgets every notification still owed to target.
  void Drop(const TWaveOutTarget& target);
  /// Delivers the oldest notification; false when there was none. One at a
  /// time, because a target may write, reset or close while it is delivered.
  bool DeliverNext();
  size_t Size() const { return FNotes.size(); }

private:
  enum class TKind { Open, Done, Close };
  struct TNote {
    TKind Kind;
    TWaveOutTarget* Target;
    TWaveHdr* Header;
  };
  std::deque<TNote> FNotes;
};
