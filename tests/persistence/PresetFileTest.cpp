#include "persistence/FileError.h"
#include "persistence/PresetFile.h"

#include "tests/persistence/ChildProcess.h"
#include "tests/persistence/PresetSamples.h"
#include "tests/persistence/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TPresetBank DistinctBank(int offset) {
  TPresetBank bank;
  for (int i = 0; i < 4; ++i) bank[i].SetValues(DistinctPresetValues(offset + i));
  return bank;
}

std::vector<uint8_t> Concatenated(const TPresetBank& bank) {
  std::vector<uint8_t> bytes;
  for (const auto& p : bank) bytes.insert(bytes.end(), p.Bytes().begin(), p.Bytes().end());
  return bytes;
}

std::vector<std::string> FolderEntries(const TTempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) names.push_back(entry.path().filename());
  return names;
}

/// Exits the child with 0 and the error text on stderr when the save throws TFileError.
void SaveExpectingFileError(const std::string& path, const TPresetBank& bank) {
  try {
    SavePresetFile(path, bank);
  } catch (const TFileError& e) {
    ExitChild(true, e.what());
  }
  ExitChild(false, "saved");
}

TEST(PresetImage, Is16581BytesWithTheLengthByteAndHeaderText) {
  auto image = PresetImage(DistinctBank(0));
  ASSERT_EQ(image.size(), 16581u);
  EXPECT_EQ(image[0], 18);
  EXPECT_EQ(std::string(image.begin() + 1, image.begin() + 19), "ZEP Preset File V1");
  EXPECT_EQ(std::vector<uint8_t>(image.begin() + 21, image.end()), Concatenated(DistinctBank(0)));
}

TEST(PresetImage, RoundTripsAllFourPresetsWithTheirNames) {
  TPresetBank loaded = DistinctBank(10);
  ASSERT_TRUE(ReadPresetImage(PresetImage(DistinctBank(0)), loaded));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(loaded[i].Values(), DistinctPresetValues(i)) << i;
  EXPECT_EQ(Concatenated(loaded), Concatenated(DistinctBank(0)));
}

TEST(PresetImage, AHeaderThatDiffersInAnyWayIsIgnoredAndChangesNothing) {
  auto good = PresetImage(DistinctBank(0));
  std::vector<std::vector<uint8_t>> bad(4, good);
  bad[0][1 + 4] = 'p';  // "ZEP preset File V1"
  bad[1][0] = 17;
  bad[2][0] = 19;
  bad[3].resize(20);
  bad.push_back({});
  for (size_t i = 0; i < bad.size(); ++i) {
    TPresetBank bank = DistinctBank(10);
    EXPECT_FALSE(ReadPresetImage(bad[i], bank)) << i;
    EXPECT_EQ(Concatenated(bank), Concatenated(DistinctBank(10))) << i;
  }
}

TEST(PresetImage, AShortImageFillsThePresetsOnlyAsFarAsItReaches) {
  auto source = Concatenated(DistinctBank(0));
  auto previous = Concatenated(DistinctBank(10));
  for (size_t size : {21u, 22u, 4160u, 4161u, 4162u, 5000u, 12441u, 16580u, 16581u, 17000u}) {
    auto image = PresetImage(DistinctBank(0));
    image.resize(size, 0xEE);
    TPresetBank bank = DistinctBank(10);
    ASSERT_TRUE(ReadPresetImage(image, bank)) << size;
    auto loaded = Concatenated(bank);
    size_t copied = std::min<size_t>(size - 21, loaded.size());
    for (size_t i = 0; i < loaded.size(); ++i)
      ASSERT_EQ(loaded[i], i < copied ? source[i] : previous[i]) << "size " << size << " byte " << i;
  }
}

TEST(PresetImage, A5000ByteFileLoadsPresetOneAndThe839FirstBytesOfPresetTwo) {
  auto image = PresetImage(DistinctBank(0));
  image.resize(5000);
  TPresetBank bank = DistinctBank(10);
  ASSERT_TRUE(ReadPresetImage(image, bank));
  EXPECT_EQ(bank[0].Values(), DistinctPresetValues(0));
  EXPECT_EQ(bank[1].Name(), DistinctPresetValues(1).Name);
  EXPECT_EQ(bank[1].Text(TPresetText::AmplitudeRight), DistinctPresetValues(1).AmplitudeRight);  // ends at 1024
  EXPECT_EQ(bank[1].Index(TPresetIndex::WaveFormLeft), DistinctPresetValues(11).WaveFormLeft);
  EXPECT_EQ(bank[2].Values(), DistinctPresetValues(12));
  EXPECT_EQ(bank[3].Values(), DistinctPresetValues(13));
}

TEST(PresetFile, SaveAndLoadRoundTripThroughTheFile) {
  TTempDir dir;
  std::string path = dir.File("set.zep");
  SavePresetFile(path, DistinctBank(10));
  SavePresetFile(path, DistinctBank(0));  // replaces the older file
  EXPECT_EQ(ReadBytes(path), PresetImage(DistinctBank(0)));
  TPresetBank bank;
  EXPECT_TRUE(LoadPresetFile(path, bank));
  EXPECT_EQ(Concatenated(bank), Concatenated(DistinctBank(0)));
  EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"set.zep"});
}

TEST(PresetFile, LoadingWhatCannotBeReadThrowsTheOpenErrorWithTheReason) {
  TTempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  TPresetBank bank;
  const std::pair<std::string, std::string> cases[] = {
      {dir.File("missing.zep"), "No such file or directory"},
      {dir.Path().string(), "Is a directory"},
      {dir.File("pipe"), "No such device"},  // never waits for a writer
  };
  for (const auto& [path, reason] : cases) {
    try {
      LoadPresetFile(path, bank);
      ADD_FAILURE() << path;
    } catch (const TFileError& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + path + "\". " + reason);
    }
  }
}

TEST(PresetFileDeathTest, SavingIntoAnUnwritableFolderFailsAndKeepsTheOldFile) {
  TTempDir dir;
  std::string path = dir.File("old.zep");
  SavePresetFile(path, DistinctBank(10));
  ::chmod(dir.Path().c_str(), 0555);
  EXPECT_EXIT((DropRootRights(), SaveExpectingFileError(path, DistinctBank(0))), testing::ExitedWithCode(0),
              "^Cannot create file \".*/old.zep\"\\. Permission denied$");
  EXPECT_EQ(ReadBytes(path), PresetImage(DistinctBank(10)));
}

TEST(PresetFileDeathTest, AWriteFailingHalfwayKeepsTheOldFileAndLeavesNoTemporary) {
  TTempDir dir;
  std::string path = dir.File("old.zep");
  SavePresetFile(path, DistinctBank(10));
  auto limitFileSize = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{8000, 8000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  };
  EXPECT_EXIT((limitFileSize(), SaveExpectingFileError(path, DistinctBank(0))), testing::ExitedWithCode(0),
              "^Cannot create file \".*/old.zep\"\\. File too large$");
  EXPECT_EQ(ReadBytes(path), PresetImage(DistinctBank(10)));
  EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"old.zep"});
}

TEST(PresetFileDeathTest, AWriteProtectedFileIsNeverReplaced) {
  TTempDir dir;
  std::string path = dir.File("kept.zep");
  SavePresetFile(path, DistinctBank(10));
  ::chmod(path.c_str(), 0444);
  ::chmod(dir.Path().c_str(), 0777);  // the folder alone would let a rename replace the file
  // As root every file is writable, so the child saves without root's rights.
  EXPECT_EXIT((DropRootRights(), SaveExpectingFileError(path, DistinctBank(0))), testing::ExitedWithCode(0),
              "^Cannot create file \".*/kept.zep\"\\. Permission denied$");
  EXPECT_EQ(ReadBytes(path), PresetImage(DistinctBank(10)));
  EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"kept.zep"});
}

TEST(PresetFileDeathTest, ANamedPipeIsRefusedWithoutWaitingForAReader) {
  TTempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("pipe.zep").c_str(), 0666), 0);
  EXPECT_EXIT((Watchdog(), SaveExpectingFileError(dir.File("pipe.zep"), DistinctBank(0))),
              testing::ExitedWithCode(0), "^Cannot create file \".*/pipe.zep\"\\. No such device$");
}

TEST(PresetFile, ALinkIsWrittenThroughToItsTargetWhichKeepsItsMode) {
  TTempDir dir;
  std::string target = dir.File("real.zep");
  SavePresetFile(target, DistinctBank(10));
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  ASSERT_EQ(::symlink("real.zep", dir.File("link.zep").c_str()), 0);
  SavePresetFile(dir.File("link.zep"), DistinctBank(0));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.zep")));
  EXPECT_EQ(ReadBytes(target), PresetImage(DistinctBank(0)));
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(PresetFile, SavingToTheNullDeviceWritesIntoItWithoutReplacingIt) {
  SavePresetFile("/dev/null", DistinctBank(0));
  struct stat info {};
  ASSERT_EQ(::stat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
}

}  // namespace
