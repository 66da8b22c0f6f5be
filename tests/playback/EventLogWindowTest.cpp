// The main window's output events in the event log file and in the Event
// Log window: ON and OFF, a signal that ends by itself with a dropout and
// clipping, and the table the window copies.

#include "eventlog/EventLog.h"
#include "playback/OutputEvents.h"
#include "playback/frmEventLog.h"
#include "tests/app/GeneratorFixture.h"

#include <unistd.h>

#include <fstream>
#include <regex>

namespace {

class EventLogOfTheWindow : public GeneratorFixture {
protected:
  void SetUp() override {
    Folder = std::filesystem::temp_directory_path() / ("zephyra-window-events-" + std::to_string(getpid()));
    std::filesystem::remove_all(Folder);
    EventLogFile = Folder / "events.jsonl";
    Device.Names = {"Desk \"A\" Out"};
    Create();
    Gen->WaveDevice.UserSelect(1);
  }
  void TearDown() override { std::filesystem::remove_all(Folder); }

  std::vector<std::string> FileLines() const {
    std::ifstream in(EventLogFile);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  std::filesystem::path Folder;
};

TEST_F(EventLogOfTheWindow, OnALostAndReturnedDeviceAndOffLeaveTheirLinesWithThisProcessAndItsDevice) {
  StartOutput();
  ASSERT_TRUE(Gen->AudioOut1->Active);
  const TLogTime lostAt = std::chrono::system_clock::now();
  Gen->OutputEvents().DeviceLost(lostAt);
  Gen->OutputEvents().DeviceBack(lostAt + std::chrono::milliseconds(1500), 1500);
  Gen->btnOFF.Click();
  Loop.ProcessMessages();
  const auto lines = FileLines();
  ASSERT_EQ(lines.size(), 4u);
  const std::string head = R"(^\{"time":"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z","pid":)" + std::to_string(getpid()) +
                           R"(,"event":")";
  const std::string device = R"(","device":"Desk \\"A\\" Out",)";
  EXPECT_TRUE(std::regex_match(lines[0], std::regex(head + "start" + device +
                                                    R"("rate":11025,"channels":1,"bits":16,"buffers":4,"buffer_bytes":16384\}$)")))
      << lines[0];
  EXPECT_EQ(lines[1], R"({"time":")" + IsoUtcTime(lostAt) + R"(","pid":)" + std::to_string(getpid()) +
                        R"(,"event":"device-lost","device":"Desk \"A\" Out"})");
  EXPECT_EQ(lines[2], R"({"time":")" + IsoUtcTime(lostAt + std::chrono::milliseconds(1500)) + R"(","pid":)" +
                        std::to_string(getpid()) + R"(,"event":"device-back","device":"Desk \"A\" Out","lost_ms":1500.000})");
  EXPECT_TRUE(std::regex_match(lines[3], std::regex(head + "stop" + device +
                                                    R"("reason":"off","dropouts":0,"dropout_ms":0\.000\}$)")))
      << lines[3];
}

TEST_F(EventLogOfTheWindow, ASignalEndingByItselfLogsItsDropoutAndClippingAndTheWindowCopiesTheTable) {
  Enter(Gen->Duration, "5");
  Gen->Loop.SetChecked(false);
  Gen->cboFilterTypeL1.UserSelect(ftPeaking);
  Enter(Gen->txtGainL, "30");  // a full-scale level with 30 dB more saturates
  Enter(Gen->AmplitudeLeft, "0");
  StartOutput();
  Device.Starve(2205);  // 200 ms at 11025 Hz
  const auto stopped = [&] { return Gen->EventLog().ThisRun().back().Kind == "stop"; };
  for (int i = 0; i < 200 && !stopped(); ++i) {
    Device.ReturnBuffers(1);
    Loop.ProcessMessages();
  }
  ASSERT_TRUE(stopped()) << Gen->AudioOut1->Dropouts().Count;

  std::vector<std::string> kinds;
  for (const TLogEvent& event : Gen->EventLog().ThisRun()) kinds.push_back(event.Kind);
  EXPECT_EQ(kinds, (std::vector<std::string>{"start", "dropout", "clipping", "stop"}));
  EXPECT_EQ(FileLines().size(), 4u);
  const TLogEvent& dropout = Gen->EventLog().ThisRun()[1];
  EXPECT_GT(std::get<int64_t>(Gen->EventLog().ThisRun()[2].Fields[0].Value), 0) << "clipped samples";
  EXPECT_EQ(JsonLine(dropout).substr(JsonLine(dropout).find("\"count\"")),
            "\"count\":1,\"ms\":200.000,\"total_count\":1,\"total_ms\":200.000}\n");

  Gen->EventLog1.Click();
  TfrmEventLog& window = Gen->EventLogWindow();
  EXPECT_TRUE(window.Visible());
  std::string copied;
  window.OnCopy = [&](const std::string& text) { copied = text; };
  window.btnCopy.Click();
  const std::string stopRow = window.lstEvents.Items().back();
  EXPECT_EQ(stopRow.substr(stopRow.find("\tstop")),
            "\tstop\tDesk \"A\" Out\treason=end of signal dropouts=1 dropout_ms=200.000");
  EXPECT_EQ(copied.substr(0, copied.find('\n') + 1), "Time (UTC)\tEvent\tDevice\tDetails\n");
  EXPECT_EQ(std::count(copied.begin(), copied.end(), '\n'), 5);
  EXPECT_NE(copied.find(stopRow + "\n"), std::string::npos);
}

}  // namespace
