#include "platform/PlainMessageLoop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

TPlainMessageLoop::TPlainMessageLoop() { FPostFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC); }

TPlainMessageLoop::~TPlainMessageLoop() {
  if (FPostFd >= 0) close(FPostFd);
}

void TPlainMessageLoop::ProcessMessages() {
  RunPosted();
  std::vector<pollfd> fds;
  for (TMessageSource* source : FSources) fds.push_back({source->WakeDescriptor(), POLLIN, 0});
  poll(fds.data(), fds.size(), 0);  // entries of -1 are skipped by poll
  // Copies: a dispatch may add or remove sources.
  std::vector<TMessageSource*> sources = FSources;
  for (size_t i = 0; i < sources.size(); ++i) {
    bool ready = fds[i].fd < 0 || (fds[i].revents & POLLIN);
    bool stillThere = std::find(FSources.begin(), FSources.end(), sources[i]) != FSources.end();
    if (ready && stillThere) sources[i]->Dispatch();
  }
  RunPosted();
}

void TPlainMessageLoop::Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void TPlainMessageLoop::Post(std::function<void()> call) {
  {
    std::lock_guard lock(FMutex);
    FPosted.push_back(std::move(call));
  }
  uint64_t one = 1;
  [[maybe_unused]] auto written = write(FPostFd, &one, sizeof one);
}

void TPlainMessageLoop::AddSource(TMessageSource& source) {
  if (std::find(FSources.begin(), FSources.end(), &source) == FSources.end()) FSources.push_back(&source);
}

void TPlainMessageLoop::RemoveSource(TMessageSource& source) { std::erase(FSources, &source); }

void TPlainMessageLoop::WaitMessages(int timeoutMs) {
  std::vector<pollfd> fds{{FPostFd, POLLIN, 0}};
  for (TMessageSource* source : FSources) fds.push_back({source->WakeDescriptor(), POLLIN, 0});
  poll(fds.data(), fds.size(), timeoutMs);
  ProcessMessages();
}

void TPlainMessageLoop::RunPosted() {
  uint64_t count;
  while (read(FPostFd, &count, sizeof count) > 0) {
  }
  for (;;) {
    std::function<void()> call;
    {
      std::lock_guard lock(FMutex);
      if (FPosted.empty()) return;
      call = std::move(FPosted.front());
      FPosted.pop_front();
    }
    call();
  }
}
