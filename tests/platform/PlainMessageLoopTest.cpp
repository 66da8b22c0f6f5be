// The plain GUI loop: posts from other threads and readable sources are
// handled on the thread that processes messages, in order.

#include "platform/PlainMessageLoop.h"

#include <gtest/gtest.h>

#include <sys/eventfd.h>
#include <unistd.h>

#include <thread>
#include <vector>

namespace {

class TEventSource final : public TMessageSource {
public:
  TEventSource() : Fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
  ~TEventSource() override { close(Fd); }
  int WakeDescriptor() const override { return Fd; }
  void Dispatch() override {
    uint64_t count;
    [[maybe_unused]] auto got = read(Fd, &count, sizeof count);
    ++Dispatches;
  }
  void Signal() {
    uint64_t one = 1;
    [[maybe_unused]] auto put = write(Fd, &one, sizeof one);
  }

  int Fd;
  int Dispatches = 0;
};

TEST(PlainMessageLoopTest, CallsPostedFromAnotherThreadRunInOrderWhenMessagesAreProcessed) {
  TPlainMessageLoop loop;
  std::vector<int> ran;
  std::thread poster([&] {
    for (int i = 0; i < 100; ++i) loop.Post([&ran, i] { ran.push_back(i); });
  });
  poster.join();
  EXPECT_TRUE(ran.empty());
  loop.ProcessMessages();
  ASSERT_EQ(ran.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(ran[static_cast<size_t>(i)], i);
}

TEST(PlainMessageLoopTest, SourceIsDispatchedOnlyWhileReadableAndRegistered) {
  TPlainMessageLoop loop;
  TEventSource source;
  loop.AddSource(source);
  loop.ProcessMessages();
  EXPECT_EQ(source.Dispatches, 0);
  source.Signal();
  loop.ProcessMessages();
  EXPECT_EQ(source.Dispatches, 1);
  loop.RemoveSource(source);
  source.Signal();
  loop.ProcessMessages();
  EXPECT_EQ(source.Dispatches, 1);
}

TEST(PlainMessageLoopTest, WaitingWakesForASourceSignalledFromAnotherThread) {
  TPlainMessageLoop loop;
  TEventSource source;
  loop.AddSource(source);
  std::thread device([&] { source.Signal(); });
  for (int i = 0; i < 50 && source.Dispatches == 0; ++i) loop.WaitMessages(100);
  device.join();
  EXPECT_EQ(source.Dispatches, 1);
}

}  // namespace
