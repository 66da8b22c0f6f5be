#include "export/WavFileWriter.h"

#include "persistence/FileError.h"
#include "tests/persistence/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <sys/stat.h>

namespace {

/// The write calls this process has made so far.
uint64_t WriteCalls() {
  std::ifstream io("/proc/self/io");
  std::string key;
  uint64_t value = 0;
  while (io >> key >> value)
    if (key == "syscw:") return value;
  return 0;
}

/// A sample sequence with both signs and every byte position busy.
int32_t SampleAt(size_t i, int bits) {
  int32_t full = (1 << (bits - 1)) - 1;
  auto v = static_cast<int32_t>((i * 2654435761u) % (2u * full + 1)) - full;
  return i % 5 == 0 ? -full - 1 : v;
}

std::vector<uint8_t> Expected(const TWavFormat& format, size_t frames) {
  auto header = WavHeader(format, frames);
  std::vector<uint8_t> bytes(header.begin(), header.end());
  for (size_t i = 0; i < frames * format.Channels; ++i) {
    auto raw = static_cast<uint32_t>(SampleAt(i, 8 * format.BytesPerSample));
    for (int b = 0; b < format.BytesPerSample; ++b) bytes.push_back(static_cast<uint8_t>(raw >> (8 * b)));
  }
  return bytes;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

TEST(WavFileWriter, WritesHeaderAndLittleEndianSamplesForOddLengths) {
  TTempDir dir;
  for (TWavFormat format : {TWavFormat{44100, 2, 2}, TWavFormat{48000, 1, 3}, TWavFormat{8000, 2, 3}})
    for (size_t frames : {0u, 1u, 2u, 3u, 7u, 127u, 2049u, 40001u}) {
      std::string path = dir.File("out.wav");
      TWavFileWriter writer(path, format, frames);
      for (size_t i = 0; i < frames * format.Channels; ++i)
        ASSERT_TRUE(writer.WriteSample(SampleAt(i, 8 * format.BytesPerSample)));
      ASSERT_TRUE(writer.Close());
      EXPECT_EQ(ReadBytes(path), Expected(format, frames)) << format.BytesPerSample << " bytes, " << frames;
    }
}

TEST(WavFileWriter, StoredSampleBytesAreAppendedAsGiven) {
  TTempDir dir;
  std::string path = dir.File("out.wav");
  std::vector<uint8_t> data(100000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
  TWavFileWriter writer(path, {44100, 1, 2}, data.size() / 2);
  writer.WriteSample(-2);
  ASSERT_TRUE(writer.WriteBytes(std::span(data).subspan(2)));
  ASSERT_TRUE(writer.Close());
  auto file = ReadBytes(path);
  ASSERT_EQ(file.size(), 44 + data.size());
  EXPECT_EQ(file[44], 0xFE);
  EXPECT_EQ(file[45], 0xFF);
  EXPECT_TRUE(std::equal(data.begin() + 2, data.end(), file.begin() + 46));
}

TEST(WavFileWriter, WritesThroughItsBufferNotSampleBySample) {
  TTempDir dir;
  constexpr size_t kSamples = 10 * 44100 * 2;  // ten seconds of CD stereo, 1.7 MB
  uint64_t before = WriteCalls();
  TWavFileWriter writer(dir.File("out.wav"), {44100, 2, 2}, kSamples / 2);
  for (size_t i = 0; i < kSamples; ++i) writer.WriteSample(static_cast<int32_t>(i));
  ASSERT_TRUE(writer.Close());
  EXPECT_LE(WriteCalls() - before, 2 * kSamples * 2 / TWavFileWriter::BufferBytes + 2);
}

TEST(WavFileWriter, ASignalTooLongForTheHeaderIsRefusedBeforeTheFileIsCreated) {
  TTempDir dir;
  std::string path = dir.File("long.wav");
  TWavFormat format{192000, 2, 3};
  try {
    TWavFileWriter writer(path, format, MaxWavFrames(format) + 1);
    ADD_FAILURE();
  } catch (const std::length_error& e) {
    EXPECT_EQ(std::string(e.what()), WavTooLongMessage(format));
  }
  EXPECT_FALSE(Exists(path));
}

TEST(WavFileWriter, AFileThatCannotBeCreatedIsReportedWithTheReason) {
  TTempDir dir;
  std::string path = dir.File("missing/out.wav");
  try {
    TWavFileWriter writer(path, {44100, 2, 2}, 1);
    ADD_FAILURE();
  } catch (const TFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + path + "\". No such file or directory");
  }
}

TEST(WavFileWriter, AFullDiskIsReportedAsAWriteFailure) {
  TWavFileWriter writer("/dev/full", {44100, 2, 2}, 100000);
  bool accepted = true;
  for (int i = 0; i < 200000 && accepted; ++i) accepted = writer.WriteSample(i);
  EXPECT_FALSE(accepted);
  EXPECT_FALSE(writer.Close());
  EXPECT_EQ(writer.Errno(), ENOSPC);

  TWavFileWriter small("/dev/full", {44100, 1, 2}, 1);  // fails only when closing
  EXPECT_TRUE(small.WriteSample(1));
  EXPECT_FALSE(small.Close());
}

TEST(WavFileWriter, DiscardDeletesTheFileItCreated) {
  TTempDir dir;
  std::string path = dir.File("cancelled.wav");
  TWavFileWriter writer(path, {44100, 2, 2}, 1000);
  writer.WriteSample(1);
  writer.Discard();
  EXPECT_FALSE(Exists(path));
}

TEST(WavFileWriter, DiscardNeverDeletesTheNullDevice) {
  TWavFileWriter writer("/dev/null", {44100, 2, 2}, 1000);
  for (int i = 0; i < 2000; ++i) writer.WriteSample(i);
  writer.Discard();
  struct stat info {};
  ASSERT_EQ(::lstat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST(WavFileWriter, DiscardLeavesAFileThatReplacedItsOwn) {
  TTempDir dir;
  std::string path = dir.File("out.wav");
  TWavFileWriter writer(path, {44100, 2, 2}, 1);
  WriteBytes(dir.File("other"), {1, 2, 3});
  std::filesystem::rename(dir.File("other"), path);
  writer.Discard();
  EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 2, 3}));
}

}  // namespace
