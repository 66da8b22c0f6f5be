// The command line of zephyra-remote: what each form sends.

#include "sync/GeneratorMessages.h"
#include "sync/RemoteCommand.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct TCase {
  std::vector<std::string> Args;
  TRemoteCommand Expected;
};

TRemoteCommand Msg(uint32_t n, uint32_t w = 0, int32_t l = 0, std::optional<uint32_t> pid = std::nullopt) {
  return {pid, n, w, l};
}

TRemoteCommand StatusOf(std::optional<uint32_t> pid = std::nullopt) { return {pid, 0, 0, 0, true}; }

TEST(RemoteCommand, NumbersAndNamesBecomeMessages) {
  const std::vector<TCase> cases = {
      {{"1024"}, Msg(gmStart)},
      {{"1040", "-20"}, Msg(gmLevelLeft, 0xFFFFFFECu)},
      {{"1047", "0xFFFFFFFF"}, Msg(gmDevice, 0xFFFFFFFFu)},
      {{"1048", "0", "3"}, Msg(gmMemory, 0, 3)},
      {{"1042", "4294967295", "-2147483648"}, Msg(gmModPeriods, 0xFFFFFFFFu, INT32_MIN)},
      {{"1042", "1", "4294967295"}, Msg(gmModPeriods, 1, -1)},
      {{"on"}, Msg(gmStart)},
      {{"off"}, Msg(gmStop)},
      {{"pause"}, Msg(gmPause)},
      {{"sync", "on"}, Msg(gmSync, 1)},
      {{"sync", "0"}, Msg(gmSync, 0)},
      {{"duration", "2.5"}, Msg(gmDuration, 25)},
      {{"duration", "0.04"}, Msg(gmDuration, 0)},
      {{"duration", "10"}, Msg(gmDuration, 100)},
      {{"loop", "off"}, Msg(gmLoop, 0)},
      {{"mono"}, Msg(gmChannels, 0)},
      {{"stereo"}, Msg(gmChannels, 3)},
      {{"channels", "2"}, Msg(gmChannels, 2)},
      {{"level-left", "-20"}, Msg(gmLevelLeft, 0xFFFFFFECu)},
      {{"level-right", "-3"}, Msg(gmLevelRight, 0xFFFFFFFDu)},
      {{"modulation-right", "on"}, Msg(gmModulationRight, 1)},
      {{"period", "2", "3"}, Msg(gmModPeriods, 2, 3)},
      {{"phase", "90", "-90"}, Msg(gmModPhases, 90, -90)},
      {{"function", "3", "0"}, Msg(gmModFunctions, 3, 0)},
      {{"waveform-right", "1"}, Msg(gmWaveFormRight, 1)},
      {{"device", "-1"}, Msg(gmDevice, 0xFFFFFFFFu)},
      {{"recall", "3"}, Msg(gmMemory, 0, 3)},
      {{"store", "2"}, Msg(gmMemory, 1, 2)},
      {{"--pid", "4711", "off"}, Msg(gmStop, 0, 0, 4711)},
      {{"--pid", "4711", "1035", "1"}, Msg(gmLoop, 1, 0, 4711)},
      {{"status"}, StatusOf()},
      {{"status", "--pid", "4711"}, StatusOf(4711)},
      {{"--pid", "4711", "status"}, StatusOf(4711)},
  };
  for (const TCase& c : cases) {
    const auto parsed = ParseRemoteCommand(c.Args);
    std::string joined;
    for (const auto& a : c.Args) joined += a + " ";
    ASSERT_TRUE(std::holds_alternative<TRemoteCommand>(parsed)) << joined << ": " << std::get<std::string>(parsed);
    const TRemoteCommand& got = std::get<TRemoteCommand>(parsed);
    EXPECT_EQ(got, c.Expected) << joined << "-> " << got.Number << " " << got.WParam << " " << got.LParam;
  }
}

TEST(RemoteCommand, BadCommandLinesAreRefusedWithAReason) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--pid"},
      {"--pid", "x", "on"},
      {"--pid", "0", "on"},
      {"--pid", "12"},
      {"start"},
      {"-1024"},
      {"1024", "1", "2", "3"},
      {"1024", "4294967296"},
      {"1024", "-2147483649"},
      {"1024", "1.5"},
      {"1024", " 1"},
      {"on", "1"},
      {"duration"},
      {"duration", "-1"},
      {"duration", "2,5"},
      {"duration", "nan"},
      {"duration", "1e12"},
      {"level-left", "-20.5"},
      {"period", "1"},
      {"recall", "three"},
      {"recall", "5"},
      {"store", "0"},
      {"recall", "-1"},
      {"waveform-left", "2"},
      {"function", "0", "4"},
      {"sync", "maybe"},
      {"status", "1"},
      {"status", "--pid"},
      {"--pid", "1", "status", "--pid", "2"},
  };
  for (const auto& args : bad) {
    const auto parsed = ParseRemoteCommand(args);
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << joined;
    EXPECT_FALSE(std::get<std::string>(parsed).empty()) << joined;
  }
}

TEST(RemoteCommand, AValueNoGeneratorActsOnNamesItsRange) {
  const auto parsed = ParseRemoteCommand({"recall", "5"});
  ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
  EXPECT_EQ(std::get<std::string>(parsed), "'5' is out of range for 'recall': 1 to 4");
}

TEST(RemoteCommand, TheUsageNamesEveryMessageName) {
  const std::string usage = RemoteUsage();
  for (const char* name : {"on", "off", "pause", "sync", "duration", "loop", "mono", "stereo", "channels",
                           "level-left", "level-right", "modulation-left", "modulation-right", "period", "depth",
                           "function", "phase", "waveform-left", "waveform-right", "device", "recall", "store"})
    EXPECT_NE(usage.find(std::string("  ") + name), std::string::npos) << name;
}

}  // namespace
