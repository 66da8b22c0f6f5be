#include "app/Controls.h"
#include "app/Form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TTestForm : TForm {
  TTestForm() : TForm("frmTest") {}
  TEdit Edit1{this, "Edit1"};
  TEdit Edit2{this, "Edit2"};
  TCheckBox Check{this, "Check"};
  TComboBox Combo{this, "Combo"};
  TTrackBar Bar{this, "Bar"};
  TButton ButtonA{this, "ButtonA"};
  TButton ButtonB{this, "ButtonB"};
};

TEST(ProgrammaticAssignment, EditRunsChangeOnlyForADifferentText) {
  TEdit e(nullptr, "e");
  std::vector<std::string> seen;
  e.OnChange = [&] { seen.push_back(e.Text()); };
  e.SetText("5");
  e.SetText("5");
  e.SetText("");
  EXPECT_EQ(seen, (std::vector<std::string>{"5", ""}));
}

TEST(ProgrammaticAssignment, CheckBoxRunsClickOnlyWhenTheStateChanges) {
  TCheckBox c(nullptr, "c");
  int clicks = 0;
  bool stateSeen = false;
  c.OnClick = [&] { ++clicks; stateSeen = c.Checked(); };
  c.SetChecked(false);
  EXPECT_EQ(clicks, 0);
  c.SetChecked(true);
  c.SetChecked(true);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(stateSeen) << "the reaction sees the new state";
  c.Toggle();
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(c.Checked());
}

TEST(ProgrammaticAssignment, SliderClampsAndRunsChangeOnlyWhenThePositionMoves) {
  TTrackBar b(nullptr, "b");
  b.SetRange(0, 10000);
  int changes = 0;
  b.OnChange = [&] { ++changes; };
  b.SetPosition(0);
  EXPECT_EQ(changes, 0);
  b.SetPosition(20000);
  EXPECT_EQ(b.Position(), 10000);
  b.SetPosition(30000);
  EXPECT_EQ(changes, 1);
  b.SetRange(0, 100);
  EXPECT_EQ(b.Position(), 100);
  EXPECT_EQ(changes, 2);
}

TEST(ProgrammaticAssignment, ListSelectionFromCodeRunsNothingButTheUsersDoes) {
  TComboBox c(nullptr, "c");
  c.SetItems({"Mono", "Stereo"});
  int changes = 0;
  c.OnChange = [&] { ++changes; };
  c.SetItemIndex(1);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(c.Text(), "Stereo");
  c.UserSelect(0);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(c.Text(), "Mono");
}

TEST(ProgrammaticAssignment, ListIndexOutsideTheItemsSelectsNone) {
  TListBox l(nullptr, "l");
  l.AddItem("a", 3);
  l.AddItem("b");
  for (int32_t bad : {2, -5, 1000}) {
    l.SetItemIndex(0);
    l.SetItemIndex(bad);
    EXPECT_EQ(l.ItemIndex(), -1) << bad;
    EXPECT_EQ(l.Text(), "");
  }
  EXPECT_EQ(l.ItemImage(0), 3);
  EXPECT_EQ(l.ItemImage(1), -1);
  EXPECT_EQ(l.ItemImage(7), -1);
}

TEST(ProgrammaticAssignment, MenuCheckMarkRunsNothingAndADisabledItemIgnoresClicks) {
  TMenuItem m(nullptr, "m");
  int clicks = 0;
  m.OnClick = [&] { ++clicks; };
  m.SetChecked(true);
  EXPECT_EQ(clicks, 0);
  m.SetVisible(false);
  m.Click();
  EXPECT_EQ(clicks, 1) << "a hidden item's shortcut still works";
  m.SetEnabled(false);
  m.Click();
  EXPECT_EQ(clicks, 1);
}

TEST(ProgrammaticAssignment, ADisabledMenuLocksTheShortcutsOfItsItems) {
  TMenuItem presets(nullptr, "presets"), reset(nullptr, "reset");
  presets.Add(reset);
  int clicks = 0;
  reset.OnClick = [&] { ++clicks; };
  presets.SetEnabled(false);
  reset.Click();
  EXPECT_EQ(clicks, 0);
  presets.SetEnabled(true);
  reset.Click();
  EXPECT_EQ(clicks, 1);
}

TEST(Observers, EveryPropertyChangeNotifiesButAnEqualValueDoesNot) {
  TLabel l(nullptr, "l");
  int notes = 0;
  l.AddObserver([&] { ++notes; });
  l.SetCaption("fs=44.1kHz");
  l.SetFontColor(clBlue);
  l.SetFontUnderline(true);
  l.SetEnabled(false);
  l.SetHint("h");
  EXPECT_EQ(notes, 5);
  l.SetFontColor(clBlue);
  l.SetCaption("fs=44.1kHz");
  EXPECT_EQ(notes, 5);
}

TEST(Observers, TheViewIsNotifiedBeforeTheReactionRuns) {
  TEdit e(nullptr, "e");
  std::vector<std::string> order;
  e.AddObserver([&] { order.push_back("view"); });
  e.OnChange = [&] { order.push_back("reaction"); };
  e.SetText("x");
  EXPECT_EQ(order, (std::vector<std::string>{"view", "reaction"}));
}

TEST(Focus, MovingTheFocusRunsTheExitOfTheControlThatHadIt) {
  TTestForm f;
  std::vector<std::string> exits;
  f.Edit1.OnExit = [&] { exits.push_back("Edit1"); };
  f.Edit2.OnExit = [&] { exits.push_back("Edit2"); };
  EXPECT_TRUE(f.SetFocus(f.Edit1));
  EXPECT_TRUE(exits.empty());
  f.SetFocus(f.Edit1);
  EXPECT_TRUE(exits.empty()) << "focusing the focused control is no move";
  f.FocusControl(f.Edit2);
  EXPECT_EQ(exits, std::vector<std::string>{"Edit1"});
  EXPECT_TRUE(f.Edit2.Focused());
  EXPECT_EQ(f.ActiveControl(), &f.Edit2);
}

TEST(Focus, ADisabledControlOrOneInADisabledWindowCannotTakeIt) {
  TTestForm f;
  f.SetFocus(f.Edit1);
  f.ButtonA.SetEnabled(false);
  EXPECT_FALSE(f.SetFocus(f.ButtonA));
  f.SetEnabled(false);
  EXPECT_FALSE(f.SetFocus(f.Edit2));
  EXPECT_EQ(f.ActiveControl(), &f.Edit1);
}

TEST(Focus, AFocusMoveMadeByAnExitReactionStands) {
  TTestForm f;
  f.SetFocus(f.Edit1);
  f.Edit1.OnExit = [&] { f.SetFocus(f.ButtonB); };
  EXPECT_FALSE(f.SetFocus(f.Edit2));
  EXPECT_EQ(f.ActiveControl(), &f.ButtonB);
}

TEST(FormRegistry, ControlsAreFoundByNameAndTheDefaultButtonMustBeUsable) {
  TTestForm f;
  EXPECT_EQ(f.FindControl("Bar"), &f.Bar);
  EXPECT_EQ(f.FindControl("nope"), nullptr);
  EXPECT_EQ(f.Controls().size(), 7u);
  EXPECT_EQ(f.DefaultButton(), nullptr);
  f.ButtonB.SetDefault(true);
  EXPECT_EQ(f.DefaultButton(), &f.ButtonB);
  f.ButtonB.SetEnabled(false);
  EXPECT_EQ(f.DefaultButton(), nullptr);
}

}  // namespace
