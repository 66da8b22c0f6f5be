// A stop request must end the render thread whenever it lands, also between
// the loop's stop check and the clearing of its wake, with a device that
// gives back no more buffers (paused, lost): the thread must not sleep in
// poll for ever while StopAtOnce waits for it.

#include "AudioIO/AudioOut.h"
#include "tests/fakes/FakeMessageLoop.h"
#include "tests/fakes/FakeWaveOutDevice.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

/// Lands a stop request in the seam: once armed, the render thread waits
/// there until another thread has asked it to stop.
class TStopInTheSeam final : public TAudioOut {
public:
  using TAudioOut::TAudioOut;
  std::atomic<bool> Armed{false};
  std::promise<void> InSeam;

protected:
  void RenderWakeClearing() noexcept override {
    if (!Armed.exchange(false)) return;
    InSeam.set_value();
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (!RenderStopRequested() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    std::this_thread::sleep_for(5ms);  // the stopper raises the wake right after the request
  }
};

/// Wakes a render thread that sleeps in poll, as a late buffer would.
void WakeThroughTheDevice(TFakeWaveOutDevice& device) {
  const uint64_t one = 1;
  [[maybe_unused]] auto written = write(device.ReturnDescriptor(), &one, sizeof one);
}

TEST(RenderStop, AStopLandingBeforeTheWakeIsClearedStillEndsTheRenderThread) {
  for (int run = 0; run < 20; ++run) {
    TFakeMessageLoop loop;
    TFakeWaveOutDevice device;
    TStopInTheSeam out(device, loop);
    TAudioOut* self = &out;
    out.SetOnFillBuffer([](uint8_t*, int32_t&) { return true; });
    ASSERT_TRUE(out.Start(self));
    out.Armed = true;
    auto inSeam = out.InSeam.get_future();
    WakeThroughTheDevice(device);  // a wake without a buffer: the device returns nothing more
    ASSERT_EQ(inSeam.wait_for(5s), std::future_status::ready) << "the render thread never woke";
    auto stopped = std::async(std::launch::async, [&] { out.StopAtOnce(); });
    if (stopped.wait_for(3s) == std::future_status::timeout) {
      ADD_FAILURE() << "run " << run << ": the render thread slept through the stop request";
      WakeThroughTheDevice(device);  // frees the thread so that the test can end
      stopped.wait();
      return;
    }
  }
}

}  // namespace
