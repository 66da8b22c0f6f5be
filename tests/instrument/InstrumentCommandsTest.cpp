// Commands against the real window logic: each sets the control it stands
// for, its query reads the control back, and a refused value changes nothing.

#include "instrument/InstrumentSession.h"
#include "instrument/WindowInstrument.h"
#include "sync/GeneratorStatus.h"
#include "tests/app/GeneratorFixture.h"
#include "tests/persistence/TempDir.h"

#include <filesystem>
#include <fstream>

namespace {

class InstrumentCommands : public GeneratorFixture {
protected:
  void SetUp() override {
    GeneratorFixture::SetUp();
    Target = std::make_unique<TWindowInstrument>(*Gen);
    Session = std::make_unique<TInstrumentSession>(*Target, Folder.Path() / "presets");
  }
  std::string Run(const std::string& line) {
    std::string answer = Session->Execute(line);
    if (!answer.empty()) answer.pop_back();  // the newline
    return answer;
  }
  int NextError() { return std::stoi(Run("SYST:ERR?")); }

  TTempDir Folder;
  std::unique_ptr<TWindowInstrument> Target;
  std::unique_ptr<TInstrumentSession> Session;
};

struct TRoundTrip {
  const char* Set;
  const char* Query;
  const char* Answer;
};

TEST_F(InstrumentCommands, EverySetIsReadBackByItsQueryWithoutError) {
  Run("OUTP:MODE STER;:SOUR1:AM ON;:SOUR2:AM ON;:SOUR1:FILT:TYPE PEAK;:SOUR2:FILT:TYPE PEAK");
  const TRoundTrip cases[] = {
      {"SOUR1:VOLT -20 DB", "SOUR1:VOLT?", "-20"},
      {"sour2:volt:lev:imm:ampl -3.5", "SOURCE2:VOLTAGE?", "-3.5"},
      {"SOUR1:FILT:FREQ 2.5 kHz", "SOUR1:FILT:FREQ?", "2500"},
      {"SOUR2:FILT:GAIN -6 DB", "SOUR2:FILT:GAIN?", "-6"},
      {"SOUR2:FILT:Q 4", "SOUR2:FILT:Q?", "4"},
      {"SOUR2:FILT:TYPE LPAS", "SOUR2:FILT:TYPE?", "LPAS"},
      {"SOUR1:NOIS WHIT", "SOUR1:NOIS?", "WHIT"},
      {"SOUR2:NOIS:CRES 4", "SOUR2:NOIS:CRES?", "4"},
      {"SOUR1:AM:PER 250 ms", "SOUR1:AM:PER?", "0.25"},
      {"SOUR1:AM:DEPT 40 PCT", "SOUR1:AM:DEPT?", "40"},
      {"SOUR2:AM:PHAS 90", "SOUR2:AM:PHAS?", "90"},
      {"SOUR2:AM:FUNC TRI", "SOUR2:AM:FUNC?", "TRI"},
      {"SOUR1:AM OFF", "SOUR1:AM?", "0"},
      {"SOUR2:CHAN OFF", "SOUR2:CHAN?", "0"},
      {"OUTP:DUR 2.5", "OUTP:DUR?", "2.5"},
      {"OUTP:LOOP OFF", "OUTP:LOOP?", "0"},
      {"OUTP:SYNC ON", "OUTP:SYNC?", "1"},
      {"OUTP:COUP ON", "OUTP:COUP?", "1"},
      {"OUTP:MODE MONO", "OUTP:MODE?", "MONO"},
      {"OUTP:RATE 48 kHz", "OUTP:RATE?", "48000"},
      {"OUTP:BITS 24", "OUTP:BITS?", "24"},
      {"OUTP:BUFF 16384", "OUTP:BUFF?", "16384"},
      {"OUTP:BUFF:COUN 3", "OUTP:BUFF:COUN?", "3"},
      {"OUTP:DEV 0", "OUTP:DEV?", "0"},
      {"OUTP:LEFT 2", "OUTP:LEFT?", "2"},
      {"OUTP:RIGH 1", "OUTP:RIGH?", "1"},
  };
  for (const TRoundTrip& c : cases) {
    EXPECT_EQ(Run(std::string(c.Set) + ";:" + c.Query), c.Answer) << c.Set;
    EXPECT_EQ(Run("SYST:ERR?"), "0,\"No error\"") << c.Set;
  }
  // The window shows what the commands set, in its own controls.
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-20");
  EXPECT_EQ(Gen->barAmplitudeLeft.Position(), 2000);
  EXPECT_EQ(Gen->txtFZeroL.Text(), "2500");
  EXPECT_EQ(Settings->cboFsList.Text(), "48000");
  EXPECT_TRUE(Gen->chkSync.Checked());
}

struct TRefusal {
  const char* Line;
  int Error;
};

TEST_F(InstrumentCommands, RefusedCommandsReportTheirErrorAndChangeNothing) {
  Run("SOUR1:FILT:TYPE PEAK;FREQ 1000;:SOUR1:VOLT -10");
  const TRefusal cases[] = {
      {"SOUR1:VOLT 0.5", -222},          {"SOUR1:VOLT -100.01", -222},     {"SOUR1:FILT:FREQ 30 kHz", -222},
      {"SOUR1:FILT:Q 0", -222},          {"SOUR1:FILT:GAIN 201", -222},    {"SOUR1:VOLT -10 HZ", -131},
      {"SOUR1:NOIS BROWN", -224},        {"OUTP:RATE 44000", -224},        {"OUTP:DEV 99", -222},
      {"SOUR3:VOLT -1", -114},           {"SOUR1:VOLT", -109},             {"SOUR1:VOLT -1,-2", -108},
      {"SOUR1:VOLTS -1", -113},          {"SOUR1:VOLT \"-1\"", -104},      {"SOUR1:VOLT:=5", -102},
      {"*RCL 5", -222},                  {"SOUR2:VOLT -1", -221},          {"OUTP:PAUS MAYBE", -224},
      {"SOUR1:VOLT 1e999", -222},        {"SOUR1:FILT:FREQ \xff", -102},
      {"OUTP:LEFT 0", -222},             {"OUTP:RIGH 3", -222},
  };
  for (const TRefusal& c : cases) {
    Run(c.Line);
    EXPECT_EQ(NextError(), c.Error) << c.Line;
    EXPECT_EQ(NextError(), 0) << c.Line;
  }
  EXPECT_EQ(Gen->AmplitudeLeft.Text(), "-10");
  EXPECT_EQ(Gen->txtFZeroL.Text(), "1000");
  EXPECT_EQ(Gen->txtQL.Text(), "1");
}

TEST_F(InstrumentCommands, OutputsAreChosenByNumberPlayedThereAndReportedByTheStatus) {
  Device.Names = {"Six Out"};
  Device.Channels = {{"Front Left", "Front Right", "Centre", "LFE", "Rear Left", "Rear Right"}};
  Create();
  Target = std::make_unique<TWindowInstrument>(*Gen);
  Session = std::make_unique<TInstrumentSession>(*Target, Folder.Path() / "presets");
  Run("OUTP:DEV 1;MODE STER;LEFT 5;RIGH 6");
  EXPECT_EQ(NextError(), 0);
  EXPECT_EQ(Run("OUTP:CHAN:CAT?"), R"("Front Left","Front Right","Centre","LFE","Rear Left","Rear Right")");
  EXPECT_EQ(Run("OUTP:LEFT?;RIGH?"), "5;6");
  EXPECT_EQ(Settings->cboLeftOutput.Text(), "Rear Left");
  EXPECT_EQ(Gen->Status().LeftOutput, 5);
  Run("OUTP ON");
  Loop.ProcessMessages();
  EXPECT_EQ(Device.Outputs.Left, 5);
  EXPECT_EQ(Device.Outputs.Right, 6);
  EXPECT_EQ(Gen->Status().RightOutput, 6);
}

TEST_F(InstrumentCommands, ResetAndMemoriesRunTheWindowsOwnCommands) {
  Run("SOUR1:VOLT -30;*SAV 2;*RST");
  EXPECT_EQ(Run("SOUR1:VOLT?"), "0");
  Run("*RCL 2");
  EXPECT_EQ(Run("SOUR1:VOLT?;:OUTP?"), "-30;0");
  Run("OUTP ON");
  Loop.ProcessMessages();
  EXPECT_TRUE(Gen->AudioOut1->Active);
  EXPECT_EQ(Run("OUTP?;:OUTP:PAUS ON;PAUS?;:FETC:DEV?"), "1;1;OPEN");
  Run("OUTP OFF");
  EXPECT_FALSE(Gen->AudioOut1->Active);
}

TEST_F(InstrumentCommands, PresetFilesAreReadOnlyFromInsideTheChosenFolder) {
  namespace fs = std::filesystem;
  fs::create_directories(Folder.Path() / "presets");
  const std::string before = Gen->Memory1.Caption();
  std::ofstream(Folder.Path() / "outside.zep") << "not a preset file";
  fs::create_symlink(Folder.Path() / "outside.zep", Folder.Path() / "presets" / "link.zep");
  std::ofstream(Folder.Path() / "presets" / "junk.zep") << "junk";
  const std::string absolute = "MMEM:LOAD:STAT \"" + (Folder.Path() / "outside.zep").string() + "\"";
  const TRefusal cases[] = {{"MMEM:LOAD:STAT \"../outside.zep\"", -257},
                            {absolute.c_str(), -257},
                            {"MMEM:LOAD:STAT \"link.zep\"", -257},
                            {"MMEM:LOAD:STAT \"missing.zep\"", -256},
                            {"MMEM:LOAD:STAT \"junk.zep\"", -257},
                            {"MMEM:LOAD:STAT junk.zep", -104}};
  for (const TRefusal& c : cases) {
    Run(c.Line);
    EXPECT_EQ(NextError(), c.Error) << c.Line;
  }
  EXPECT_EQ(Gen->Memory1.Caption(), before);
  fs::copy_file(ZEPHYRA_EXAMPLES_FILE, Folder.Path() / "presets" / "Examples.zep");
  Run("MMEM:LOAD:STAT 'Examples.zep'");
  EXPECT_EQ(NextError(), 0);
  EXPECT_NE(Gen->Memory1.Caption(), before);
}

}  // namespace
