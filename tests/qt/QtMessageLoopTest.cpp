#include "app/qt/QtMessageLoop.h"

#include "tests/qt/QtApplication.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>

#include <sys/eventfd.h>
#include <unistd.h>

#include <thread>
#include <vector>

namespace {

/// A source woken through an eventfd, as a device thread would wake it.
class TEventSource final : public TMessageSource {
public:
  TEventSource() : FDescriptor(eventfd(0, EFD_NONBLOCK)) {}
  ~TEventSource() override { close(FDescriptor); }
  int WakeDescriptor() const override { return FDescriptor; }
  void Dispatch() override {
    uint64_t count = 0;
    if (read(FDescriptor, &count, sizeof count) == sizeof count) Woken += int(count);
    ++Dispatches;
  }
  void Wake() {
    const uint64_t one = 1;
    ASSERT_EQ(write(FDescriptor, &one, sizeof one), ssize_t(sizeof one));
  }
  int Woken = 0;
  int Dispatches = 0;

private:
  int FDescriptor;
};

/// Runs the Qt event loop until done() or about two seconds have passed.
template <class Done> bool SpinUntil(TQtMessageLoop& loop, Done done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < 2000) loop.ProcessMessages();
  return done();
}

class QtMessageLoopTest : public testing::Test {
protected:
  void SetUp() override { TestApplication(); }
  TQtMessageLoop Loop;
};

TEST_F(QtMessageLoopTest, CallsPostedFromAnotherThreadRunOnTheGuiThreadInOrder) {
  std::vector<int> order;
  bool allOnGuiThread = true;
  const auto guiThread = std::this_thread::get_id();
  std::thread producer([&] {
    for (int i = 0; i < 50; ++i)
      Loop.Post([&, i] {
        order.push_back(i);
        allOnGuiThread = allOnGuiThread && std::this_thread::get_id() == guiThread;
      });
  });
  producer.join();
  ASSERT_TRUE(SpinUntil(Loop, [&] { return order.size() == 50; }));
  for (int i = 0; i < 50; ++i) EXPECT_EQ(order[size_t(i)], i);
  EXPECT_TRUE(allOnGuiThread);
}

TEST_F(QtMessageLoopTest, AWokenSourceIsDispatchedByTheEventLoop) {
  TEventSource source;
  Loop.AddSource(source);
  std::thread producer([&] { source.Wake(); });
  producer.join();
  QElapsedTimer timer;
  timer.start();
  while (source.Woken == 0 && timer.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  EXPECT_EQ(source.Woken, 1);
  Loop.RemoveSource(source);
}

TEST_F(QtMessageLoopTest, ProcessMessagesDispatchesSourcesUntilRemoved) {
  TEventSource source;
  Loop.AddSource(source);
  Loop.ProcessMessages();
  EXPECT_GE(source.Dispatches, 1);
  Loop.RemoveSource(source);
  const int before = source.Dispatches;
  source.Wake();
  Loop.ProcessMessages();
  Loop.ProcessMessages();
  EXPECT_EQ(source.Dispatches, before);
}

TEST_F(QtMessageLoopTest, SleepWaitsWithoutRunningPostedCalls) {
  bool ran = false;
  Loop.Post([&] { ran = true; });
  QElapsedTimer timer;
  timer.start();
  Loop.Sleep(30);
  EXPECT_GE(timer.elapsed(), 29);
  EXPECT_FALSE(ran);
  Loop.ProcessMessages();
  EXPECT_TRUE(ran);
}

}  // namespace
