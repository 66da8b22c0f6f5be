// Generator messages sent to a main window on fake services: what each
// number does to the window's controls and output.

#include "sync/GeneratorMessages.h"
#include "tests/app/GeneratorFixture.h"

#include <string>
#include <vector>

namespace {

struct MessageTable : GeneratorFixture {
  /// A message from any program, as the bus hands it to the window.
  void Send(uint32_t number, uint32_t wParam, int32_t lParam) {
    Gen->ReceiveMessage(number, wParam, lParam, TDelivery::Message);
  }
};

struct TTextCase {
  uint32_t number;
  uint32_t wParam;
  int32_t lParam;
  std::vector<std::pair<const char*, std::string>> texts;  // edit name, expected text
};

TEST_F(MessageTable, NumbersBecomeFieldTexts) {
  const std::vector<TTextCase> cases = {
      {gmDuration, 25, 0, {{"Duration", "2.5"}}},
      {gmLevelLeft, static_cast<uint32_t>(-20), 0, {{"AmplitudeLeft", "-20"}}},
      {gmLevelLeft, 20, 0, {{"AmplitudeLeft", "0"}}},
      {gmLevelLeft, static_cast<uint32_t>(-250), 0, {{"AmplitudeLeft", "-100"}}},
      {gmLevelRight, static_cast<uint32_t>(-6), 0, {{"AmplitudeRight", "-6"}}},
      {gmModPeriods, 3, -2, {{"ModPeriodLeftEdit", "3"}, {"ModPeriodRightEdit", "-2"}}},
      {gmModDepths, 4000000000u, 50, {{"ModDepthLeftEdit", "4000000000"}, {"ModDepthRightEdit", "50"}}},
      {gmModPhases, 90, -45, {{"ModPhaseLeftEdit", "90"}, {"ModPhaseRightEdit", "-45"}}},
  };
  for (const TTextCase& c : cases) {
    Create();
    Send(c.number, c.wParam, c.lParam);
    for (const auto& [name, text] : c.texts) {
      auto* edit = dynamic_cast<TEdit*>(Gen->FindControl(name));
      ASSERT_NE(edit, nullptr) << name;
      EXPECT_EQ(edit->Text(), text) << "message " << c.number << " wParam " << c.wParam << " into " << name;
    }
  }
}

TEST_F(MessageTable, TheDurationFieldsValidationDecidesAsForTypedText) {
  for (uint32_t tenths : {0u, 1u, 0xFFFFFFFFu}) {
    Create();
    Enter(Gen->Duration, std::to_string(tenths / 10) + "." + std::to_string(tenths % 10));
    const std::string typed = Gen->Duration.Text();
    Create();
    Send(gmDuration, tenths, 0);
    EXPECT_EQ(Gen->Duration.Text(), typed) << tenths;
  }
}

TEST_F(MessageTable, TheDurationUsesTheLocalesDecimalSeparator) {
  Format.DecimalSeparator = ',';
  Create();
  Send(gmDuration, 25, 0);
  EXPECT_EQ(Gen->Duration.Text(), "2,5");
}

TEST_F(MessageTable, ALevelMessageMovesTheSliderAndTheGainAtOnce) {
  Send(gmLevelLeft, static_cast<uint32_t>(-20), 0);
  EXPECT_EQ(Gen->barAmplitudeLeft.Position(), 2000);
  EXPECT_FLOAT_EQ(Gen->State.left.amplitudeGain, 0.1f);
  Send(gmLevelLeft, 20, 0);
  EXPECT_EQ(Gen->barAmplitudeLeft.Position(), 0);
  EXPECT_FLOAT_EQ(Gen->State.left.amplitudeGain, 1.0f) << "never beyond full scale";
}

TEST_F(MessageTable, ChannelsMessageSetsModeAndSwitches) {
  struct TCase { uint32_t wParam; int mode; bool left; bool right; };
  for (const TCase& c : {TCase{2, cmStereo, false, true}, TCase{1, cmStereo, true, false},
                         TCase{3, cmStereo, true, true}, TCase{0, cmMono, true, true}}) {
    Create();
    Send(gmChannels, c.wParam, 0);
    EXPECT_EQ(Gen->cboChannels.ItemIndex(), c.mode) << c.wParam;
    EXPECT_EQ(Gen->Lefttick.Checked(), c.left) << c.wParam;
    EXPECT_EQ(Gen->RightTick.Checked(), c.right) << c.wParam;
    EXPECT_EQ(Gen->AmplitudeRight.Enabled(), c.mode == cmStereo) << "the channel list's reaction ran";
  }
}

TEST_F(MessageTable, BothChannelsOffStopsTheOutput) {
  StartOutput();
  Send(gmChannels, 4, 0);
  EXPECT_FALSE(Gen->AudioOut1->Active);
  EXPECT_FALSE(Gen->btnON.Enabled());
}

TEST_F(MessageTable, SwitchesFollowWParam) {
  Send(gmLoop, 7, 0);
  EXPECT_TRUE(Gen->Loop.Checked());
  Send(gmModulationLeft, 1, 0);
  EXPECT_TRUE(Gen->ModulationOnLeft.Checked());
  EXPECT_TRUE(Gen->ModPeriodLeftEdit.Enabled()) << "the box's click reaction ran";
  Send(gmModulationRight, 1, 0);
  EXPECT_TRUE(Gen->ModulationOnRight.Checked());
  Send(gmLoop, 0, 0);
  Send(gmModulationLeft, 0, 0);
  EXPECT_FALSE(Gen->Loop.Checked());
  EXPECT_FALSE(Gen->ModulationOnLeft.Checked());
  EXPECT_FALSE(Gen->ModPeriodLeftEdit.Enabled());
}

TEST_F(MessageTable, ListMessagesSelectEntriesWithinTheirListsOnly) {
  Device.Names = {"A", "B"};
  Create();
  Send(gmDevice, 1, 0);
  EXPECT_EQ(Gen->WaveDevice.ItemIndex(), 2);
  Send(gmDevice, 0xFFFFFFFFu, 0);
  EXPECT_EQ(Gen->WaveDevice.ItemIndex(), 0) << "device id -1 is the system default";
  Send(gmDevice, 1, 0);
  Send(gmDevice, 2, 0);
  Send(gmDevice, 0xFFFFFFFEu, 0);
  EXPECT_EQ(Gen->WaveDevice.ItemIndex(), 2) << "ids outside the list change nothing";

  Send(gmModFunctions, 3, 2);
  EXPECT_EQ(Gen->ModFunctionLeft.ItemIndex(), 3);
  EXPECT_EQ(Gen->ModFunctionRight.ItemIndex(), 2);
  Send(gmModFunctions, 4, -1);
  EXPECT_EQ(Gen->ModFunctionLeft.ItemIndex(), 3);
  EXPECT_EQ(Gen->ModFunctionRight.ItemIndex(), 2);
  Send(gmModFunctions, 0xFFFFFFFFu, 0);
  EXPECT_EQ(Gen->ModFunctionLeft.ItemIndex(), 3);
  EXPECT_EQ(Gen->ModFunctionRight.ItemIndex(), 0) << "each entry is checked on its own";

  Send(gmWaveFormLeft, 1, 0);
  Send(gmWaveFormRight, 1, 0);
  EXPECT_EQ(Gen->State.left.noiseType, 1) << "the list's reaction ran";
  EXPECT_EQ(Gen->State.right.noiseType, 1);
  Send(gmWaveFormLeft, 2, 0);
  Send(gmWaveFormRight, 0x80000000u, 0);
  EXPECT_EQ(Gen->WaveFormLeft.ItemIndex(), 1);
  EXPECT_EQ(Gen->WaveFormRight.ItemIndex(), 1);
}

TEST_F(MessageTable, MemoryMessagesRecallAndStoreOnlyMemoriesOneToFour) {
  Gen->Duration.SetText("7");
  Send(gmMemory, 1, 3);
  Gen->Duration.SetText("9");
  for (auto [w, l] : {std::pair{2u, 3}, {0u, 0}, {0u, 5}, {0u, -1}, {1u, 0}}) Send(gmMemory, w, l);
  EXPECT_EQ(Gen->Duration.Text(), "9");
  Send(gmMemory, 0, 3);
  EXPECT_EQ(Gen->Duration.Text(), "7");
}

TEST_F(MessageTable, RecallWithAutostartStartsTheOutput) {
  Gen->AutostartRecalledPresets1.Click();
  Send(gmMemory, 0, 2);
  Loop.ProcessMessages();
  EXPECT_TRUE(Gen->AudioOut1->Active);
}

TEST_F(MessageTable, StartStopAndPause) {
  Send(gmStart, 0, 0);
  Loop.ProcessMessages();
  ASSERT_TRUE(Gen->AudioOut1->Active);
  const int opens = Device.CountOf("Open");
  Send(gmStart, 0, 0);
  EXPECT_EQ(Device.CountOf("Open"), opens) << "a running output keeps running";
  Send(gmPause, 0, 0);
  EXPECT_TRUE(Gen->AudioOut1->Paused());
  EXPECT_TRUE(Gen->btnPause.Font().Bold);
  Send(gmPause, 0, 0);
  EXPECT_FALSE(Gen->AudioOut1->Paused());
  EXPECT_FALSE(Gen->btnPause.Font().Bold);
  Send(gmStop, 0, 0);
  Loop.ProcessMessages();
  EXPECT_FALSE(Gen->AudioOut1->Active);
}

TEST_F(MessageTable, TheHotKeyTogglesAlsoWhileTheWindowIsDisabled) {
  Gen->SetEnabled(false);
  Send(gmHotKey, OnOffHotKeyId, 0);
  Loop.ProcessMessages();
  EXPECT_TRUE(Gen->AudioOut1->Active);
  Send(gmHotKey, 2, 0);
  EXPECT_TRUE(Gen->AudioOut1->Active) << "another key id is not ours";
  Send(gmHotKey, OnOffHotKeyId, 0);
  Loop.ProcessMessages();
  EXPECT_FALSE(Gen->AudioOut1->Active);
}

/// Every control's visible state, to see that a message changed nothing.
std::vector<std::string> Snapshot(const TfrmGenerator& g) {
  std::vector<std::string> s;
  for (const TControl* c : g.Controls()) {
    std::string v = c->Name() + (c->Enabled() ? "+" : "-") + c->Caption();
    if (auto* e = dynamic_cast<const TEdit*>(c)) v += "|" + e->Text();
    if (auto* b = dynamic_cast<const TCheckBox*>(c)) v += b->Checked() ? "|x" : "|o";
    if (auto* l = dynamic_cast<const TCustomList*>(c)) v += "|" + std::to_string(l->ItemIndex());
    s.push_back(v);
  }
  return s;
}

TEST_F(MessageTable, NumbersOutsideTheTableDoNothing) {
  const auto before = Snapshot(*Gen);
  for (uint32_t n : {1023u, 1028u, 1033u, 1036u, 1037u, 1039u, 1049u, 1139u, 1142u, 1147u, 0u, 0xFFFFFFFFu})
    Send(n, 1, 1);
  EXPECT_EQ(Snapshot(*Gen), before);
  EXPECT_FALSE(Gen->AudioOut1->Active);
  EXPECT_EQ(Device.CountOf("Open"), 0);
}

TEST_F(MessageTable, AnErrorEndsOnlyTheMessageWithTheErrorBox) {
  Settings->cboQuant.SetItemIndex(-1);
  EXPECT_NO_THROW(Send(gmStart, 0, 0));
  EXPECT_EQ(Dialogs.Errors, std::vector<std::string>{"'' is not a valid integer value"});
}

/// Counts the broadcasts and delivers each to the window, as the bus does
/// for the sender's own window.
struct TCountingBroadcast : TGeneratorBroadcast {
  explicit TCountingBroadcast(TfrmGenerator& g) : Window(g) {}
  void Broadcast(uint32_t number, uint32_t wParam, int32_t lParam) override {
    Sent.push_back(number);
    Window.ReceiveMessage(number, wParam, lParam, TDelivery::Own);
  }
  TfrmGenerator& Window;
  std::vector<uint32_t> Sent;
};

TEST_F(MessageTable, TheSyncMessageTicksTheBoxAndItsRebroadcastEnds) {
  auto owned = std::make_unique<TCountingBroadcast>(*Gen);
  TCountingBroadcast& bus = *owned;
  Gen->SetBroadcast(std::move(owned));
  Send(gmSync, 5, 0);
  EXPECT_TRUE(Gen->chkSync.Checked());
  EXPECT_EQ(bus.Sent, std::vector<uint32_t>{gmSync}) << "the new state once more, then it ends";
  Send(gmSync, 5, 0);
  EXPECT_EQ(bus.Sent.size(), 1u) << "an unchanged box sends nothing";
  Send(gmSync, 0, 0);
  EXPECT_FALSE(Gen->chkSync.Checked());
  EXPECT_EQ(bus.Sent.size(), 2u);
  Gen->ReceiveMessage(gmSync, 1, 0, TDelivery::Broadcast);
  EXPECT_TRUE(Gen->chkSync.Checked());
  EXPECT_EQ(bus.Sent.size(), 2u) << "another generator's broadcast reached every generator by itself";
}

}  // namespace
