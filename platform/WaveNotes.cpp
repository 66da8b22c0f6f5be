#include "platform/WaveNotes.h"

#include <algorithm>

void TWaveNotes::Drop(const TWaveOutTarget& target) {
  std::erase_if(FNotes, [&](const TNote& note) { return note.Target == &target; });
}

bool TWaveNotes::DeliverNext() {
  if (FNotes.empty()) return false;
  const TNote note = FNotes.front();
  FNotes.pop_front();
  switch (note.Kind) {
    case TKind::Open: note.Target->WomOpen(); break;
    case TKind::Close: note.Target->WomClose(); break;
  }
  return true;
}
