// The wave output component's rules, played against the recording device.

#include "AudioIO/AudioOut.h"
#include "tests/fakes/FakeMessageLoop.h"
#include "tests/fakes/FakeWaveOutDevice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

class AudioOutTest : public ::testing::Test {
protected:
  void SetUp() override {
    owned = std::make_unique<TAudioOut>(device, loop);
    AudioOut1 = owned.get();
    AudioOut1->SetOnStart([this](void*) { events.push_back("start"); });
    AudioOut1->SetOnStop([this](void*) { events.push_back("stop"); });
    AudioOut1->SetOnFillBuffer([this](uint8_t* buffer, int32_t& size) {
      ++fills;
      writesSeenByFills = device.CountOf("Write");
      std::memset(buffer, fills, static_cast<size_t>(size));
      if (fillSize > 0) size = fillSize;
      return fillsTrue-- > 0;
    });
    AudioOut1->SetBufferSize(1024);
  }

  /// Starts through the owner's variable, as the main window does.
  bool Start() { return AudioOut1->Start(AudioOut1); }

  /// Gives back count buffers and lets the loop deliver the notifications.
  void Return(int count = 1) {
    device.ReturnBuffers(count);
    loop.ProcessMessages();
  }

  TFakeMessageLoop loop;
  TFakeWaveOutDevice device;
  std::unique_ptr<TAudioOut> owned;
  TAudioOut* AudioOut1 = nullptr;
  std::vector<std::string> events;
  int fills = 0;
  int fillsTrue = 1000;  // fills answer true this many times, then false
  int fillSize = 0;      // when set, the size the fill event reports
  int writesSeenByFills = 0;
};

TEST_F(AudioOutTest, PropertiesAreClampedAndBufferSizeIsWholeFrames) {
  AudioOut1->SetBufferSize(100);
  EXPECT_EQ(AudioOut1->BufferSize(), 512);
  AudioOut1->SetStereo(true);
  AudioOut1->SetQuantization(24);
  AudioOut1->SetBufferSize(4096);
  EXPECT_EQ(AudioOut1->BufferSize(), 4092);
  AudioOut1->SetQuantization(16);
  EXPECT_EQ(AudioOut1->BufferSize(), 4096) << "the requested size is kept, the effective one follows the format";

  AudioOut1->SetNumBuffers(1);
  EXPECT_EQ(AudioOut1->NumBuffers(), 2);
  AudioOut1->SetNumBuffers(7);
  EXPECT_EQ(AudioOut1->NumBuffers(), 4);
  AudioOut1->SetQuantization(4);
  EXPECT_EQ(AudioOut1->Quantization(), 8);
  AudioOut1->SetQuantization(32);
  EXPECT_EQ(AudioOut1->Quantization(), 24);
}

TEST_F(AudioOutTest, FormatHandedToTheDeviceFollowsTheProperties) {
  AudioOut1->SetStereo(true);
  AudioOut1->SetQuantization(24);
  AudioOut1->SetFrameRate(48000);
  AudioOut1->SetWaveDevice(0);
  ASSERT_TRUE(Start());
  EXPECT_EQ(device.Calls.front().Device, 0u);
  EXPECT_EQ(device.Format.nChannels, 2);
  EXPECT_EQ(device.Format.wBitsPerSample, 24);
  EXPECT_EQ(device.Format.nBlockAlign, 6);
  EXPECT_EQ(device.Format.nAvgBytesPerSec, 288000u);
  EXPECT_EQ(device.Format.nSamplesPerSec, 48000u);
}

TEST_F(AudioOutTest, StartOpensPreparesFillsEveryBufferThenWritesThemInOrder) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(device.CallLog(), "Open Prepare Prepare Prepare Prepare Write Write Write Write");
  EXPECT_EQ(fills, 4);
  EXPECT_EQ(writesSeenByFills, 0) << "all fills happen before the first write";
  auto writes = device.Writes();
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(writes[i].Length, 1024u);
    EXPECT_EQ(writes[i].Data[0], i + 1) << "buffer " << i << " carries fill " << i + 1;
  }
  EXPECT_TRUE(AudioOut1->Active);
  EXPECT_TRUE(events.empty()) << "the start event waits for the loop";
  loop.ProcessMessages();
  EXPECT_EQ(events, std::vector<std::string>{"start"});
}

TEST_F(AudioOutTest, EachReturnedBufferIsRefilledAndWrittenAgainInRingOrder) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(AudioOut1->FilledBuffers, 4);
  EXPECT_EQ(AudioOut1->QueuedBuffers, 4);
  EXPECT_EQ(AudioOut1->ProcessedBuffers, 0);
  Return(2);
  EXPECT_EQ(AudioOut1->FilledBuffers, 6);
  EXPECT_EQ(AudioOut1->QueuedBuffers, 4);
  EXPECT_EQ(AudioOut1->ProcessedBuffers, 2);
  auto writes = device.Writes();
  ASSERT_EQ(writes.size(), 6u);
  EXPECT_EQ(writes[4].Header, writes[0].Header);
  EXPECT_EQ(writes[5].Header, writes[1].Header);
  EXPECT_EQ(writes[5].Data[0], 6);
}

TEST_F(AudioOutTest, ShortFillIsWrittenWithTheSizeTheEventLeft) {
  fillSize = 100;
  ASSERT_TRUE(Start());
  EXPECT_EQ(device.Writes()[0].Length, 100u);
}

TEST_F(AudioOutTest, FillClaimingMoreThanTheBufferHoldsIsCutToTheBuffer) {
  fillSize = 1 << 20;
  ASSERT_TRUE(Start());
  EXPECT_EQ(device.Writes()[0].Length, 1024u);
}

TEST_F(AudioOutTest, FirstFillFalseFailsTheStartButStartAndStopEventsStillCome) {
  fillsTrue = 0;
  EXPECT_FALSE(Start());
  EXPECT_EQ(AudioOut1->ErrorMessage, "There must be at least one filled buffer");
  EXPECT_EQ(device.CountOf("Write"), 0);
  EXPECT_FALSE(device.IsOpen);
  EXPECT_FALSE(AudioOut1->Active);
  loop.ProcessMessages();
  EXPECT_EQ(events, (std::vector<std::string>{"start", "stop"}));
}

TEST_F(AudioOutTest, SignalEndingAfterTwoFillsWritesAllFourAndClosesAfterTheLastReturns) {
  fillsTrue = 2;
  ASSERT_TRUE(Start());
  EXPECT_EQ(device.CountOf("Write"), 4);
  EXPECT_EQ(AudioOut1->FilledBuffers, 2);
  Return();
  EXPECT_TRUE(AudioOut1->Active);
  Return();
  EXPECT_FALSE(AudioOut1->Active);
  EXPECT_EQ(device.CountOf("Write"), 4) << "nothing more is written once the fill says false";
  EXPECT_EQ(device.CountOf("Close"), 0) << "two unfilled buffers are still with the device";
  Return();
  EXPECT_EQ(device.CountOf("Close"), 0);
  Return();
  EXPECT_EQ(device.CountOf("Close"), 1);
  EXPECT_EQ(device.CountOf("Unprepare"), 4);
  loop.ProcessMessages();
  EXPECT_EQ(events, (std::vector<std::string>{"start", "stop"}));
  EXPECT_EQ(AudioOut1->ProcessedBuffers, 2);
  EXPECT_EQ(AudioOut1->QueuedBuffers, 0) << "buffers coming back after the end are not counted";
}

TEST_F(AudioOutTest, SecondStartWhileRunningFailsAndLeavesTheRunAlone) {
  ASSERT_TRUE(Start());
  EXPECT_FALSE(Start());
  EXPECT_EQ(AudioOut1->ErrorMessage, "Wave output device is already open");
  EXPECT_EQ(device.CountOf("Open"), 1);
  EXPECT_EQ(fills, 4);
  EXPECT_TRUE(AudioOut1->Active);
}

TEST_F(AudioOutTest, PausedBeforeStartQueuesEverythingPausedUntilCleared) {
  AudioOut1->SetPaused(true);
  EXPECT_EQ(device.Calls.size(), 0u) << "while idle only the flag changes";
  ASSERT_TRUE(Start());
  EXPECT_EQ(device.CallLog(), "Open Prepare Prepare Prepare Prepare Pause Write Write Write Write");
  EXPECT_TRUE(AudioOut1->Paused());
  AudioOut1->SetPaused(false);
  EXPECT_EQ(device.Calls.back().Name, "Restart");
  EXPECT_FALSE(device.IsPaused);
}

TEST_F(AudioOutTest, StopAtOnceWhilePausedResetsClosesAndClearsThePause) {
  ASSERT_TRUE(Start());
  AudioOut1->SetPaused(true);
  AudioOut1->StopAtOnce();
  EXPECT_EQ(device.CallLog().substr(device.CallLog().rfind("Pause")),
            "Pause Reset Unprepare Unprepare Unprepare Unprepare Close");
  EXPECT_FALSE(AudioOut1->Paused());
  EXPECT_FALSE(AudioOut1->Active);
  loop.ProcessMessages();
  EXPECT_EQ(events, (std::vector<std::string>{"start", "stop"}));
  EXPECT_EQ(fills, 4) << "buffers given back by the reset are not refilled";
}

TEST_F(AudioOutTest, StopGracefullyLetsQueuedAudioPlayOutThenStopAtOnceCutsIt) {
  ASSERT_TRUE(Start());
  AudioOut1->StopGracefully();
  Return();
  EXPECT_EQ(fills, 4);
  EXPECT_EQ(device.CountOf("Write"), 4);
  EXPECT_TRUE(AudioOut1->Active);
  AudioOut1->StopAtOnce();
  EXPECT_EQ(device.CountOf("Reset"), 1);
  EXPECT_FALSE(device.IsOpen);
}

TEST_F(AudioOutTest, StopGracefullyClosesWhenTheLastQueuedBufferReturns) {
  ASSERT_TRUE(Start());
  AudioOut1->StopGracefully();
  Return(3);
  EXPECT_TRUE(device.IsOpen);
  Return();
  EXPECT_FALSE(device.IsOpen);
  EXPECT_EQ(device.CountOf("Reset"), 0);
}

TEST_F(AudioOutTest, StopsOnAnIdleComponentChangeNothing) {
  AudioOut1->StopAtOnce();
  AudioOut1->StopGracefully();
  loop.ProcessMessages();
  EXPECT_TRUE(device.Calls.empty());
  EXPECT_TRUE(events.empty());
  ASSERT_TRUE(Start()) << "a graceful stop while idle must not spoil the next start";
  EXPECT_EQ(fills, 4);
}

TEST_F(AudioOutTest, FailingOpenLeavesNothingOpenAndRunsNoEvents) {
  device.Fail("Open", MMSYSERR_BADDEVICEID);
  EXPECT_FALSE(Start());
  EXPECT_EQ(AudioOut1->ErrorMessage, "Fake device error 2");
  EXPECT_EQ(fills, 0);
  loop.ProcessMessages();
  EXPECT_TRUE(events.empty());
  ASSERT_TRUE(Start()) << "the component is idle again";
}

TEST_F(AudioOutTest, FailingPrepareClosesTheDeviceAgain) {
  device.Fail("Prepare", MMSYSERR_NOMEM);
  EXPECT_FALSE(Start());
  EXPECT_EQ(AudioOut1->ErrorMessage, "Fake device error 7");
  EXPECT_FALSE(device.IsOpen);
  EXPECT_EQ(fills, 0);
  loop.ProcessMessages();
  EXPECT_EQ(events, (std::vector<std::string>{"start", "stop"}));
}

TEST_F(AudioOutTest, FailingFirstWriteClosesAtOnceAndFailsTheStart) {
  device.Fail("Write", MMSYSERR_ERROR);
  EXPECT_FALSE(Start());
  EXPECT_EQ(AudioOut1->ErrorMessage, "Fake device error 1");
  EXPECT_FALSE(device.IsOpen);
  EXPECT_FALSE(AudioOut1->Active);
}

TEST_F(AudioOutTest, AStreamThatFailsToStartIsClosedWithBothEventsAndTheNextStartPlays) {
  device.FailStart(MMSYSERR_NOMEM);
  EXPECT_FALSE(Start());
  EXPECT_EQ(AudioOut1->ErrorMessage, "Fake device error 7");
  EXPECT_FALSE(device.IsOpen) << "the buffer the device kept is taken back, so the close completes";
  EXPECT_EQ(device.QueuedCount(), 0u);
  loop.ProcessMessages();
  EXPECT_EQ(events, (std::vector<std::string>{"start", "stop"}));

  ASSERT_TRUE(Start()) << AudioOut1->ErrorMessage;
  EXPECT_EQ(device.QueuedCount(), 4u);
}

TEST_F(AudioOutTest, FailingWriteDuringPlaybackDrainsTheQueueThenCloses) {
  ASSERT_TRUE(Start());
  device.Fail("Write", MMSYSERR_ERROR);
  Return();
  EXPECT_EQ(AudioOut1->ErrorMessage, "Fake device error 1");
  EXPECT_TRUE(device.IsOpen);
  Return(2);
  EXPECT_EQ(fills, 5) << "no fill after the failed write";
  EXPECT_TRUE(device.IsOpen);
  Return();
  EXPECT_FALSE(device.IsOpen);
  loop.ProcessMessages();
  EXPECT_EQ(events, (std::vector<std::string>{"start", "stop"}));
}

TEST_F(AudioOutTest, ElapsedTimeFollowsThePlayedSamplesOnlyWhileActive) {
  EXPECT_EQ(AudioOut1->ElapsedTime(), 0.0);
  ASSERT_TRUE(Start());
  EXPECT_EQ(AudioOut1->ElapsedTime(), 0.0) << "four filled buffers, none played";
  Return(2);  // 2 x 512 frames at 22050 Hz
  EXPECT_DOUBLE_EQ(AudioOut1->ElapsedTime(), 1024.0 / 22050.0);
  device.Fail("GetPosition", MMSYSERR_ERROR);
  EXPECT_EQ(AudioOut1->ElapsedTime(), 0.0);
  AudioOut1->StopAtOnce();
  device.Position = 5000;
  EXPECT_EQ(AudioOut1->ElapsedTime(), 0.0);
}

TEST_F(AudioOutTest, BufferCountRaisedAfterAllocationStillFillsRealBuffers) {
  AudioOut1->SetNumBuffers(2);
  AudioOut1->SetBufferSize(600);
  AudioOut1->SetNumBuffers(4);
  ASSERT_TRUE(Start());
  for (const auto& write : device.Writes()) ASSERT_NE(write.Header->lpData, nullptr);
  EXPECT_EQ(device.CountOf("Write"), 4);
}

TEST_F(AudioOutTest, ResizingWhileRunningNeitherMovesNorOverrunsTheDevicesBuffers) {
  ASSERT_TRUE(Start());
  const uint8_t* first = device.Writes()[0].Header->lpData;
  AudioOut1->SetBufferSize(60000);
  Return();
  EXPECT_EQ(device.Writes()[4].Header->lpData, first);
  EXPECT_EQ(device.Writes()[4].Length, 1024u) << "the run keeps the size it started with";
  AudioOut1->StopAtOnce();
  loop.ProcessMessages();
  ASSERT_TRUE(Start());
  EXPECT_EQ(device.Writes().back().Length, 60000u) << "the next run takes the new size";
}

TEST_F(AudioOutTest, NotificationsOfAnEarlierRunDoNotCountInTheNextOne) {
  ASSERT_TRUE(Start());
  AudioOut1->StopAtOnce();
  ASSERT_TRUE(Start()) << "restarted before the old run's notifications were handled";
  loop.ProcessMessages();
  EXPECT_EQ(AudioOut1->ProcessedBuffers, 0);
  EXPECT_EQ(AudioOut1->FilledBuffers, 4);
  EXPECT_EQ(events, (std::vector<std::string>{"start", "stop", "start"}));
}

TEST_F(AudioOutTest, DestroyingARunningComponentClosesTheDeviceAndDropsItsNotifications) {
  ASSERT_TRUE(Start());
  owned.reset();
  EXPECT_FALSE(device.IsOpen);
  EXPECT_EQ(device.PendingNotifications(), 0u);
  EXPECT_FALSE(loop.HasSource(device));
}

}  // namespace
