// One pass of the signal into a WAV file from the main window.

#include "export/WavFileWriter.h"
#include "tests/export/ExportFixture.h"
#include "tests/persistence/ChildProcess.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <thread>

namespace {

class WaveExport : public ExportFixture {
protected:
  void ExpectWindowsRestored() {
    EXPECT_TRUE(Gen->Enabled());
    EXPECT_FALSE(Wait->Visible());
    EXPECT_TRUE(Gen->Loop.Checked()) << "the loop switch comes back";
  }
  static std::ptrdiff_t ThreadCount() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/task"), {});
  }
  // A joined thread stays listed for a moment: the system tells the joining
  // thread before it has finished the exit.
  static std::ptrdiff_t ThreadCountSettlingAt(std::ptrdiff_t expected) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (ThreadCount() != expected && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return ThreadCount();
  }
};

TEST_F(WaveExport, FiveSecondsOfCdStereoWithoutAQuestion) {
  Choose(3, 0, cmStereo, "5");
  Export(Dir.File("cd.wav"));
  EXPECT_TRUE(Dialogs.Questions.size() <= 1u) << "only the welcome question";
  const TFileDialogOptions& dialog = Dialogs.FileDialogs.back();
  EXPECT_EQ(dialog.Title, "Save wave file");
  EXPECT_EQ(dialog.Filter, "WAVE file|*.wav");
  EXPECT_EQ(dialog.FileName, "5s ");
  EXPECT_TRUE(dialog.OverwritePrompt);
  const auto bytes = ReadBytes(Dir.File("cd.wav"));
  constexpr uint32_t n = 5 * 44100;
  ASSERT_EQ(bytes.size(), 4 * n + 44);
  EXPECT_EQ(U32(bytes, 4), 4 * n + 36);
  EXPECT_EQ(U16(bytes, 22), 2u);
  EXPECT_EQ(U32(bytes, 24), 44100u);
  EXPECT_EQ(U32(bytes, 28), 4u * 44100);
  EXPECT_EQ(U16(bytes, 32), 4u);
  EXPECT_EQ(U16(bytes, 34), 16u);
  EXPECT_EQ(U32(bytes, 40), 4 * n);
  EXPECT_EQ(Gen->State.fullScale, 32767);
  ExpectWindowsRestored();
}

TEST_F(WaveExport, OneSecondOf48kHzMono24BitAfterDecliningTheHint) {
  Choose(4, 1, cmMono, "1");
  const size_t asked = Dialogs.Questions.size();
  Export(Dir.File("mono.wav"));
  ASSERT_EQ(Dialogs.Questions.size(), asked + 1) << "the CD-format hint";
  const auto bytes = ReadBytes(Dir.File("mono.wav"));
  ASSERT_EQ(bytes.size(), 3u * 48000 + 44);
  EXPECT_EQ(U16(bytes, 22), 1u);
  EXPECT_EQ(U32(bytes, 24), 48000u);
  EXPECT_EQ(U32(bytes, 28), 3u * 48000);
  EXPECT_EQ(U16(bytes, 32), 3u);
  EXPECT_EQ(U16(bytes, 34), 24u);
  EXPECT_EQ(U32(bytes, 40), 3u * 48000);
  EXPECT_EQ(Gen->cboChannels.ItemIndex(), cmMono) << "No leaves the settings";
}

TEST_F(WaveExport, AnsweringYesMakesCdFormatAndATickedBoxSilencesTheHint) {
  Choose(1, 0, cmMono, "1");
  Dialogs.Answers.push_back({TModalResult::Yes, true});
  Export(Dir.File("a.wav"));
  EXPECT_EQ(Gen->cboChannels.ItemIndex(), cmStereo);
  EXPECT_EQ(Settings->cboFsList.Text(), "44100");
  EXPECT_EQ(U32(ReadBytes(Dir.File("a.wav")), 24), 44100u);
  const size_t asked = Dialogs.Questions.size();
  Gen->cboChannels.UserSelect(cmMono);
  Export(Dir.File("b.wav"));
  EXPECT_EQ(Dialogs.Questions.size(), asked);
}

TEST_F(WaveExport, ARightChannelSwitchedOffWritesSilenceOnTheRight) {
  Choose(3, 0, cmStereo, "0.5");
  Gen->RightTick.SetChecked(false);
  Export(Dir.File("left.wav"));
  const auto bytes = ReadBytes(Dir.File("left.wav"));
  ASSERT_EQ(bytes.size(), 44u + 4 * 22050);
  bool leftSounds = false;
  for (size_t at = 44; at < bytes.size(); at += 4) {
    leftSounds |= bytes[at] != 0 || bytes[at + 1] != 0;
    ASSERT_EQ(bytes[at + 2] | bytes[at + 3], 0) << "right sample at byte " << at;
  }
  EXPECT_TRUE(leftSounds);
}

TEST_F(WaveExport, CancelStopsTheExportAndLeavesNoFile) {
  Choose(3, 0, cmStereo, "10");
  bool disabledMeanwhile = false;
  Wait->ProgressBar1.AddObserver([&] {
    disabledMeanwhile |= !Gen->Enabled();
    if (Wait->ProgressBar1.Position() >= 20) Wait->FormKeyDown(27);  // Esc
  });
  const auto threads = ThreadCount();
  Export(Dir.File("cancel.wav"));
  EXPECT_EQ(ThreadCountSettlingAt(threads), threads) << "the render thread has ended";
  EXPECT_TRUE(disabledMeanwhile);
  EXPECT_FALSE(std::filesystem::exists(Dir.File("cancel.wav")));
  EXPECT_FALSE(Wait->WaitCancel);
  EXPECT_TRUE(Dialogs.Messages.empty());
  ExpectWindowsRestored();
}

TEST_F(WaveExport, WriteAndCreateFailuresAreReportedAndReleaseTheWindow) {
  Choose(3, 0, cmStereo, "1");
  const auto threads = ThreadCount();
  Export("/dev/full");
  EXPECT_EQ(ThreadCountSettlingAt(threads), threads) << "the render thread has ended";
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0], kWavWriteErrorText);
  ExpectWindowsRestored();

  Export(Dir.File("no/such/folder.wav"));
  ASSERT_EQ(Dialogs.Messages.size(), 2u);
  EXPECT_EQ(Dialogs.Messages[1].rfind("Cannot create file", 0), 0u);
  ExpectWindowsRestored();
}

TEST_F(WaveExport, ACancelledExportLeavesAnExistingFileAsItWas) {
  Choose(3, 0, cmStereo, "10");
  const std::vector<uint8_t> old{'o', 'l', 'd', 0, 1, 2};
  WriteBytes(Dir.File("keep.wav"), old);
  Wait->ProgressBar1.AddObserver([&] {
    if (Wait->ProgressBar1.Position() >= 20) Wait->FormKeyDown(27);  // Esc
  });
  Export(Dir.File("keep.wav"));
  EXPECT_EQ(ReadBytes(Dir.File("keep.wav")), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path()), {}), 1) << "no temporary file is left";
}

using WaveExportDeathTest = WaveExport;

TEST_F(WaveExportDeathTest, ADiskFullExportLeavesTheOldFileByteForByte) {
  Choose(3, 0, cmStereo, "1");  // 176444 bytes
  const std::string path = Dir.File("old.wav");
  std::vector<uint8_t> old(30000);
  for (size_t i = 0; i < old.size(); ++i) old[i] = static_cast<uint8_t>(i * 13);
  WriteBytes(path, old);
  auto exportOnFullDisk = [&] {
    // The file size limit stands in for a full disk: writes beyond it fail with EFBIG.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{100000, 100000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    Export(path);
    ExitChild(Dialogs.Messages.size() == 1, Dialogs.Messages.empty() ? "no message" : Dialogs.Messages[0]);
  };
  EXPECT_EXIT(exportOnFullDisk(), testing::ExitedWithCode(0), "^File Access Error, cannot write file\\.$");
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path()), {}), 1) << "no temporary file is left";
}

TEST_F(WaveExport, ASignalTooLongForOneFileIsRefusedBeforeAnythingIsWritten) {
  Choose(6, 1, cmStereo, "4000");
  Export(Dir.File("long.wav"));
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0], WavTooLongMessage({192000, 2, 3}));
  EXPECT_FALSE(std::filesystem::exists(Dir.File("long.wav")));
  ExpectWindowsRestored();
}

}  // namespace
