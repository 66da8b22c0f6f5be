#include "tests/app/GeneratorFixture.h"

#include <vector>

namespace {

using PlaybackStart = GeneratorFixture;
using PlaybackStop = GeneratorFixture;
using PlaybackPause = GeneratorFixture;
using PlaybackFailures = GeneratorFixture;
using PlaybackSync = GeneratorFixture;

std::vector<TControl*> LockedControls(TfrmGenerator& g) {
  return {&g.cboChannels, &g.WaveDevice, &g.Duration, &g.Loop, &g.AmplitudeLeft, &g.AmplitudeRight,
          &g.Memory1, &g.Memory4, &g.mnuPresets};
}

void ExpectStopped(TfrmGenerator& g, TApplication& app) {
  EXPECT_FALSE(g.AudioOut1->Active);
  EXPECT_EQ(g.LED.BrushColor(), clMaroon);
  EXPECT_EQ(app.Title(), "Zephyra");
  EXPECT_FALSE(app.SignalBusy);
  EXPECT_EQ(g.DefaultButton(), &g.btnON);
  EXPECT_FALSE(g.btnPause.Font().Bold);
}

class StereoGenerator : public GeneratorFixture {
protected:
  void SetUp() override {
    GeneratorFixture::SetUp();
    Gen->cboChannels.UserSelect(cmStereo);
  }
};
using PlaybackLocks = StereoGenerator;

TEST_F(PlaybackStart, OnOpensTheDeviceWithTheOutputSettingsAndLocksTheFormat) {
  Settings->cboFsList.UserSelect(3);
  Settings->cboQuant.UserSelect(1);
  Settings->cboBuffers.UserSelect(1);
  StartOutput();
  ASSERT_TRUE(Gen->AudioOut1->Active);
  EXPECT_EQ(Device.Format.nSamplesPerSec, 44100u);
  EXPECT_EQ(Device.Format.wBitsPerSample, 24);
  EXPECT_EQ(Device.Format.nChannels, 1);
  EXPECT_EQ(Device.CountOf("Write"), 3);
  EXPECT_EQ(Gen->State.fullScale, 8388607);
  EXPECT_EQ(Gen->State.bytesPerFrame, 3);
  EXPECT_EQ(Gen->LED.BrushColor(), clGreen);
  EXPECT_EQ(App.Title(), "ON - Zephyra");
  EXPECT_EQ(Gen->Caption(), "Zephyra") << "the window caption is not the application title";
  EXPECT_TRUE(App.SignalBusy);
  EXPECT_EQ(Gen->DefaultButton(), &Gen->btnOFF);
  EXPECT_EQ(Gen->ActiveControl(), &Gen->btnOFF);
  for (TControl* c : LockedControls(*Gen)) EXPECT_FALSE(c->Enabled()) << c->Name();
  EXPECT_TRUE(Gen->barAmplitudeLeft.Enabled()) << "the sliders stay usable";
}

TEST_F(PlaybackStart, OnTwiceChangesNothingNotEvenTheFocus) {
  StartOutput();
  Gen->SetFocus(Gen->chkSync);
  const int opens = Device.CountOf("Open");
  Gen->btnON.Click();
  Loop.ProcessMessages();
  EXPECT_EQ(Device.CountOf("Open"), opens);
  EXPECT_EQ(Gen->ActiveControl(), &Gen->chkSync);
}

TEST_F(PlaybackStart, ALevelChangedWhilePlayingIsInTheNextBufferTheRenderThreadFills) {
  const auto peak = [](const TFakeWaveCall& write) {
    int32_t most = 0;
    for (size_t i = 0; i + 1 < write.Data.size(); i += 2)
      most = std::max<int32_t>(most, std::abs(int16_t(write.Data[i] | write.Data[i + 1] << 8)));
    return most;
  };
  Gen->Loop.SetChecked(true);
  Gen->barAmplitudeLeft.SetPosition(4000);  // -40 dBFS
  StartOutput();
  const int32_t quiet = peak(Device.Writes().back());
  Gen->barAmplitudeLeft.SetPosition(0);
  Device.ReturnBuffers(1);
  EXPECT_GT(peak(Device.Writes().back()), 30 * quiet) << "40 dB louder: the buffer refilled next has the new level";
}

TEST_F(PlaybackStart, TheDeviceListEntryChoosesTheDeviceId) {
  Device.Names = {"A", "B", "C"};
  Create();
  Gen->WaveDevice.UserSelect(3);
  StartOutput();
  Gen->btnOFF.Click();
  Loop.ProcessMessages();
  Gen->WaveDevice.UserSelect(0);
  StartOutput();
  std::vector<uint32_t> ids;
  for (const auto& c : Device.Calls)
    if (c.Name == "Open") ids.push_back(c.Device);
  EXPECT_EQ(ids, (std::vector<uint32_t>{2, 0xFFFFFFFFu}));
}

TEST_F(PlaybackStop, OffRestoresLedTitleDefaultButtonAndControls) {
  StartOutput();
  Gen->btnOFF.Click();
  Loop.ProcessMessages();
  ExpectStopped(*Gen, App);
  for (TControl* c : LockedControls(*Gen)) {
    if (c != &Gen->AmplitudeRight) {
      EXPECT_TRUE(c->Enabled()) << c->Name();
    }
  }
  EXPECT_EQ(Gen->ActiveControl(), &Gen->btnON);
}

TEST_F(PlaybackStop, ASignalThatEndsByItselfRestoresEverythingWithoutTheOperator) {
  Settings->cboBuffers.UserSelect(0);
  Settings->cboBufferSize.UserSelect(0);
  Gen->Duration.SetText("1");  // 22050 bytes: several buffers of 4096
  Gen->Loop.SetChecked(false);  // a first start (nothing stored) loops
  StartOutput();
  for (int i = 0; i < 50 && Gen->AudioOut1->Active; ++i) {
    Device.ReturnBuffers(1);
    Loop.ProcessMessages();
  }
  ExpectStopped(*Gen, App);
  EXPECT_TRUE(Gen->Duration.Enabled());
  EXPECT_GT(Device.CountOf("Write"), 2) << "the signal spans several buffers";
}

TEST_F(PlaybackLocks, TheRightLevelStaysLockedWhileRunningAndFollowsTheChannelRulesAfterwards) {
  StartOutput();
  Gen->chkAsLeft.SetChecked(true);
  Gen->chkAsLeft.SetChecked(false);
  EXPECT_FALSE(Gen->AmplitudeRight.Enabled()) << "the channel rules do not unlock a running output";
  Gen->chkAsLeft.SetChecked(true);
  Gen->btnOFF.Click();
  Loop.ProcessMessages();
  EXPECT_TRUE(Gen->AmplitudeLeft.Enabled());
  EXPECT_FALSE(Gen->AmplitudeRight.Enabled()) << "= Left still holds the right channel";
}

TEST_F(PlaybackPause, PauseBeforeOnStartsPausedAndASecondPauseMakesItAudible) {
  Gen->btnPause.Click();
  EXPECT_TRUE(Gen->btnPause.Font().Bold);
  StartOutput();
  EXPECT_TRUE(Gen->AudioOut1->Active);
  EXPECT_TRUE(Device.IsPaused);
  EXPECT_EQ(Gen->LED.BrushColor(), clGreen);
  Gen->Pause1.Click();
  EXPECT_FALSE(Device.IsPaused);
  EXPECT_FALSE(Gen->btnPause.Font().Bold);
}

TEST_F(PlaybackPause, PauseThenOffClearsThePauseForTheNextStart) {
  StartOutput();
  Gen->btnPause.Click();
  EXPECT_TRUE(Device.IsPaused);
  Gen->OFF1.Click();
  Loop.ProcessMessages();
  ExpectStopped(*Gen, App);
  StartOutput();
  EXPECT_FALSE(Gen->AudioOut1->Paused());
  EXPECT_FALSE(Device.IsPaused);
}

TEST_F(PlaybackPause, TheToggleSwitchesBetweenOnAndOff) {
  Gen->ONOFF2.Click();
  Loop.ProcessMessages();
  EXPECT_TRUE(Gen->AudioOut1->Active);
  Gen->ONOFF2.Click();
  Loop.ProcessMessages();
  EXPECT_FALSE(Gen->AudioOut1->Active);
}

TEST_F(PlaybackFailures, AFailedOpenIsReportedAndStillFocusesOff) {
  Device.Fail("Open", 2);
  Gen->SetFocus(Gen->chkSync);
  StartOutput();
  EXPECT_FALSE(Gen->AudioOut1->Active);
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0], "Sound Device Error: \rFake device error 2");
  EXPECT_EQ(Gen->ActiveControl(), &Gen->btnOFF);
}

TEST_F(PlaybackFailures, AStreamThatFailsToStartLeavesTheWindowStoppedAndTheNextOnPlays) {
  Device.FailStart(MMSYSERR_NOMEM);
  StartOutput();
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0], "Sound Device Error: \rFake device error 7");
  ExpectStopped(*Gen, App);
  EXPECT_TRUE(Gen->cboChannels.Enabled()) << "the controls a running output locks are free again";
  EXPECT_TRUE(Gen->Duration.Enabled());

  StartOutput();
  EXPECT_TRUE(Gen->AudioOut1->Active);
  EXPECT_EQ(App.Title(), "ON - Zephyra");
  EXPECT_EQ(Dialogs.Messages.size(), 1u) << Dialogs.Messages.back();
}

TEST_F(PlaybackFailures, AQuantisationThatIsNotAnIntegerEndsTheStartBeforeTheDevice) {
  Settings->cboQuant.SetItemIndex(-1);
  Gen->SetFocus(Gen->chkSync);
  App.Perform([&] { Gen->btnON.Click(); });
  EXPECT_EQ(Dialogs.Errors, std::vector<std::string>{"'' is not a valid integer value"});
  EXPECT_EQ(Device.CountOf("Open"), 0);
  EXPECT_EQ(Gen->ActiveControl(), &Gen->chkSync);
}

TEST_F(PlaybackFailures, APerformanceIssueStopsTheOutputWithItsMessage) {
  StartOutput();
  Gen->RenderState().fillBusy = true;  // a fill that never completed
  Device.ReturnBuffers(1);
  Loop.ProcessMessages();
  EXPECT_FALSE(Gen->AudioOut1->Active);
  EXPECT_EQ(Dialogs.Messages.back(), "There is an issue with performance. See help for details");
}

struct TRecordingBroadcast : TGeneratorBroadcast {
  void Broadcast(uint32_t number, uint32_t, int32_t) override { Numbers.push_back(number); }
  std::vector<uint32_t> Numbers;
};

TEST_F(PlaybackSync, WithSyncTheCommandsGoOutAsMessagesInsteadOfActingHere) {
  auto owned = std::make_unique<TRecordingBroadcast>();
  TRecordingBroadcast& bus = *owned;
  Gen->SetBroadcast(std::move(owned));
  Gen->chkSync.SetChecked(true);
  int fronts = 0;
  App.OnBringToFront = [&] { ++fronts; };
  StartOutput();
  Gen->btnPause.Click();
  Gen->btnOFF.Click();
  EXPECT_EQ(bus.Numbers, (std::vector<uint32_t>{gmSync, gmStart, gmPause, gmStop}));
  EXPECT_FALSE(Gen->AudioOut1->Active);
  EXPECT_EQ(fronts, 1);
}

TEST_F(PlaybackSync, TheOwnBroadcastReachesThisWindow) {
  Gen->chkSync.SetChecked(true);
  StartOutput();
  EXPECT_TRUE(Gen->AudioOut1->Active);
  Gen->btnPause.Click();
  EXPECT_TRUE(Gen->btnPause.Font().Bold);
  Gen->btnOFF.Click();
  Loop.ProcessMessages();
  EXPECT_FALSE(Gen->AudioOut1->Active);
}

}  // namespace
