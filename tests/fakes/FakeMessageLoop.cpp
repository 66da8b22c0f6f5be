#include "tests/fakes/FakeMessageLoop.h"

#include <algorithm>

void TFakeMessageLoop::ProcessMessages() {
  ++ProcessCount;
  RunPosted();
  // Dispatch may post further calls; a copy keeps removal during dispatch safe.
  std::vector<TMessageSource*> sources = FSources;
  for (TMessageSource* source : sources)
    if (HasSource(*source)) source->Dispatch();
  RunPosted();
}

void TFakeMessageLoop::Sleep(int ms) {
  ++SleepCount;
  SleptMs += ms;
  Clock.Advance(static_cast<uint64_t>(ms));
  if (OnSleep) OnSleep();
}

void TFakeMessageLoop::Post(std::function<void()> call) {
  std::lock_guard lock(FMutex);
  FPosted.push_back(std::move(call));
}

void TFakeMessageLoop::AddSource(TMessageSource& source) {
  if (!HasSource(source)) FSources.push_back(&source);
}

void TFakeMessageLoop::RemoveSource(TMessageSource& source) { std::erase(FSources, &source); }

size_t TFakeMessageLoop::PendingPosts() const {
  std::lock_guard lock(FMutex);
  return FPosted.size();
}

bool TFakeMessageLoop::HasSource(const TMessageSource& source) const {
  return std::find(FSources.begin(), FSources.end(), &source) != FSources.end();
}

bool TFakeMessageLoop::RunPosted() {
  bool ran = false;
  for (;;) {
    std::function<void()> call;
    {
      std::lock_guard lock(FMutex);
      if (FPosted.empty()) return ran;
      call = std::move(FPosted.front());
      FPosted.pop_front();
    }
    call();
    ran = true;
  }
}
