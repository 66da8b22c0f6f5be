// Rules of the main window that a desktop view only passes on: the close that
// ends the program, the ON/OFF key beside a desktop-wide grab, the keys an
// edit keeps, and what greys out with the right channel.

#include "platform/HotKey.h"
#include "tests/app/GeneratorFixture.h"

#include <functional>

namespace {

class WindowRules : public GeneratorFixture {
protected:
  std::string StoredText(const std::string& name) {
    const auto values = Store.Read();
    if (!values) return "<no key>";
    const auto found = values->find(name);
    return found == values->end() ? "<missing>" : found->second.Text;
  }
};

TEST_F(WindowRules, TheFirstCloseStoresAndEndsTheProgramALaterOneDoesNeither) {
  int ends = 0;
  App.OnTerminate = [&] { ++ends; };
  Enter(Gen->Duration, "7");
  App.Perform([&] { Gen->Close(); });
  EXPECT_FALSE(Gen->Visible());
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(App.Terminated());
  EXPECT_EQ(StoredText("Duration"), "7");

  // A close that arrives after the first (Ctrl+X, or the close box of a
  // window already going) must not store what changed in between.
  Gen->Duration.SetText("9");
  App.Perform([&] { Gen->Exit1.Click(); });
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(StoredText("Duration"), "7");
}

/// A desktop-wide key whose grab the test holds or not.
class TTestHotKey final : public THotKey {
public:
  bool Register(std::function<void()>) override { return Held; }
  void Unregister() override { Held = false; }
  bool Active() const override { return Held; }
  bool Held = false;
};

TEST_F(WindowRules, TheWindowsCtrlInsStandsAsideWhileTheDesktopWideKeyIsGrabbed) {
  TTestHotKey hotKey;
  Settings.reset();
  TGeneratorServices services{App, Loop, Dialogs, Shell, Loop.Clock, Device, Store, Format};
  services.HotKey = &hotKey;
  Gen = std::make_unique<TfrmGenerator>(services);
  Settings = std::make_unique<TfrmSettings>(*Gen, Shell);

  struct TCase {
    bool grabbed;
    bool byKey;
    bool toggles;
  };
  for (const TCase c : {TCase{false, true, true}, TCase{true, true, false}, TCase{true, false, true}}) {
    hotKey.Held = c.grabbed;
    const bool before = Gen->AudioOut1->Active;
    App.Perform([&] { c.byKey ? Gen->ONOFF2.PressShortCut() : Gen->ONOFF2.Click(); });
    Loop.ProcessMessages();
    EXPECT_EQ(Gen->AudioOut1->Active != before, c.toggles)
        << "grabbed " << c.grabbed << ", by key " << c.byKey;
  }
  // The menu says where Ctrl+Ins reaches the generator, also when the
  // desktop approves or withdraws the key later.
  hotKey.Held = false;
  hotKey.OnActiveChange();
  EXPECT_EQ(Gen->ONOFF2.Caption(), "ON/OFF Toggle (in Zephyra's windows only)");
  hotKey.Held = true;
  hotKey.OnActiveChange();
  EXPECT_EQ(Gen->ONOFF2.Caption(), "ON/OFF Toggle");
  // The window gives the key back when it goes, so it must go before the key.
  Settings.reset();
  Gen.reset();
  EXPECT_FALSE(hotKey.OnActiveChange) << "nobody is told once the window has gone";
}

TEST_F(WindowRules, AFocusedEditKeepsOnlyCopyCutAndUndo) {
  for (const char* key : {"Ctrl+C", "Ctrl+X", "Ctrl+Z"}) EXPECT_TRUE(TEdit::KeepsShortCut(key)) << key;
  for (const char* key : {"Ctrl+Ins", "Ctrl+T", "Ctrl+L", "F11", "Shift+F5"})
    EXPECT_FALSE(TEdit::KeepsShortCut(key)) << key;
}

TEST_F(WindowRules, TheRightCrestFactorLabelGreysOutWithItsList) {
  ASSERT_EQ(Gen->cboChannels.ItemIndex(), cmMono);
  EXPECT_FALSE(Gen->cboCrestFactorR.Enabled());
  EXPECT_FALSE(Gen->lblPeakRMSratioR.Enabled());
  Gen->cboChannels.UserSelect(cmStereo);
  EXPECT_TRUE(Gen->lblPeakRMSratioR.Enabled());
  Gen->chkAsLeft.SetChecked(true);
  EXPECT_FALSE(Gen->lblPeakRMSratioR.Enabled());
  EXPECT_TRUE(Gen->lblPeakRMSratioL.Enabled());
}

TEST_F(WindowRules, TheFirstDeviceIsTheSystemDefault) {
  ASSERT_GE(Gen->WaveDevice.Count(), 1);
  EXPECT_EQ(Gen->WaveDevice.Items()[0], "System Default");
}

TEST_F(WindowRules, TheLevelBarsPageByOneDecibelAndCarryADecibelScale) {
  for (const TTrackBar* bar : {&Gen->barAmplitudeLeft, &Gen->barAmplitudeRight}) {
    EXPECT_EQ(bar->PageSize, 100);
    std::vector<std::pair<int32_t, std::string>> scale;
    for (const auto& mark : bar->Scale) scale.emplace_back(mark.Position, mark.Text);
    const std::vector<std::pair<int32_t, std::string>> expected{
        {0, "0"}, {2000, "-20"}, {4000, "-40"}, {6000, "-60"}, {8000, "-80"}, {10000, "-100"}};
    EXPECT_EQ(scale, expected);
  }
}

}  // namespace
