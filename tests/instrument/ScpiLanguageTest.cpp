// The language itself: lines, compound headers, values, the error queue and
// the status registers, and the settings of the remote instrument.

#include "instrument/InstrumentSettings.h"
#include "instrument/LineSplitter.h"
#include "instrument/ScpiParser.h"
#include "instrument/ScpiValues.h"
#include "instrument/StatusRegisters.h"

#include <gtest/gtest.h>

namespace {

TEST(LineSplitter, KeepsNoLineOverTheLimitAndGoesOnAfterIt) {
  TLineSplitter lines;
  const std::string longLine(TLineSplitter::MaxLineBytes + 1, 'x');
  std::string input = "*IDN?\r\n" + longLine + "\nSYST:ERR?\n";
  size_t fed = 0;
  std::vector<std::string> seen;
  while (fed < input.size() || lines.HasLine()) {
    fed += lines.Feed(std::string_view(input).substr(fed));
    while (auto line = lines.Next()) seen.push_back(line->TooLong ? "<too long>" : line->Text);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"*IDN?", "<too long>", "SYST:ERR?"}));
}

TEST(ScpiParser, FollowingCommandsContinueBelowThePreviousHeader) {
  std::vector<std::string> path;
  std::vector<std::vector<std::string>> resolved;
  for (const TScpiUnit& u : ParseProgramMessage("sour2:filt:freq 1 kHz;GAIN -3;*OPC;q 2;:OUTP ON;PAUS?"))
    resolved.push_back(ResolveHeader(u.Command, path));
  const std::vector<std::vector<std::string>> expected{{"SOUR2", "FILT", "FREQ"}, {"SOUR2", "FILT", "GAIN"},
                                                       {"*OPC"},                  {"SOUR2", "FILT", "Q"},
                                                       {"OUTP"},                  {"PAUS"}};
  EXPECT_EQ(resolved, expected);
  const auto units = ParseProgramMessage("MMEM:LOAD:STAT 'it''s.zep', \"a;b\"");
  ASSERT_EQ(units.size(), 1u);
  EXPECT_EQ(units[0].Command.Parameters[0].Text, "it's.zep");
  EXPECT_EQ(units[0].Command.Parameters[1].Text, "a;b");
}

TEST(ScpiValues, NumbersCarryUnitsMultipliersAndLimits) {
  const TNumericRange hz{1, 24000, 1000, false, {"HZ"}};
  EXPECT_EQ(ReadNumeric("1 kHz", hz).Value, 1000);
  EXPECT_NEAR(static_cast<double>(ReadNumeric("0.02MHZ", hz).Value), 20000, 1e-6);  // MHZ is mega, by exception
  EXPECT_EQ(ReadNumeric("max", hz).Value, 24000);
  EXPECT_EQ(ReadNumeric("DEF", hz).Value, 1000);
  EXPECT_EQ(ReadNumeric("25 kHz", hz).Error, -222);
  EXPECT_EQ(ReadNumeric("1 kV", hz).Error, -131);
  EXPECT_EQ(ReadNumeric("1 mHz", hz).Error, -222);  // milli: 0.001 Hz
  EXPECT_EQ(ReadBoolean("on"), true);
  EXPECT_EQ(ReadBoolean("0"), false);
  EXPECT_EQ(ReadBoolean("ONN"), std::nullopt);
}

TEST(StatusRegisters, ErrorsSetTheirEventBitAndTheQueueOverflowsOnce) {
  TStatusRegisters r;
  r.Clear();
  r.Ese = esrCommandError;
  r.Sre = stbEventStatus;
  for (int i = 0; i < 40; ++i) r.Report(-102);
  EXPECT_EQ(r.StatusByte(), stbErrorQueue | stbEventStatus | stbServiceRequest);
  for (size_t i = 0; i + 1 < TErrorQueue::Capacity; ++i) EXPECT_EQ(r.Errors.Pop(), "-102,\"Syntax error\"");
  EXPECT_EQ(r.Errors.Pop(), "-350,\"Queue overflow\"");
  EXPECT_EQ(r.Errors.Pop(), "0,\"No error\"");
  EXPECT_EQ(r.TakeEsr(), esrCommandError);
  EXPECT_EQ(r.StatusByte(), 0);
}

TEST(InstrumentSettings, ScpiOptionAndAllowList) {
  const TScpiOption option = TakeScpiOption({"/nosplash", "--scpi=6000"});
  EXPECT_TRUE(option.Given);
  EXPECT_EQ(option.Port, 6000);
  EXPECT_EQ(option.Rest, std::vector<std::string>{"/nosplash"});
  EXPECT_FALSE(TakeScpiOption({"--scpi=0"}).Error.empty());
  EXPECT_EQ(std::get<std::vector<std::string>>(ParseAllowedClients("10.0.0.2, ::1")),
            (std::vector<std::string>{"10.0.0.2", "::1"}));
  EXPECT_TRUE(std::holds_alternative<std::string>(ParseAllowedClients("10.0.0.2 lab-pc")));
}

}  // namespace
