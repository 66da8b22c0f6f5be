// zephyra-render --reference and --check, against the check values the
// standard publishes and against files that are not the reference.

#include "app/render/RenderProgram.h"
#include "tests/persistence/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

struct TRun {
  int Code;
  std::string Out, Err;
};

TRun RenderReference(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunRender(args, out, err);
  return {code, out.str(), err.str()};
}

std::string Hex(const std::vector<uint8_t>& bytes, size_t from, size_t count) {
  std::string text;
  char pair[3];
  for (size_t i = from; i < from + count && i < bytes.size(); ++i) {
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    text += pair;
  }
  return text;
}

/// SHA-256 of the file's bytes as the system's sha256sum computes it.
std::string Sha256(const std::string& path) {
  std::string digest(64, ' ');
  FILE* pipe = ::popen(("sha256sum '" + path + "'").c_str(), "r");
  if (pipe == nullptr || std::fread(digest.data(), 1, digest.size(), pipe) != digest.size()) digest = "no sha256sum";
  if (pipe) ::pclose(pipe);
  return digest;
}

TEST(ReferenceCommands, TheFirstPeriodMatchesThePublishedCheckValues) {
  struct TCase {
    const char* Rate;
    size_t PeriodFrames;
    const char* FirstBytes;
    const char* Sha256;
  };
  const TCase cases[] = {
      {"48000", size_t{1} << 19, "f54be5ecb8e146a9df280ce9d531f3",
       "7d2935b8f0c2d72a5d3e6a8b1d656d934cb24a7262eec3d0aabb9ba5a984ad1a"},
      {"96000", size_t{1} << 20, "0072fbe30df30e67f3be82fc29d303",
       "dc854a65ec58b388befdfbb5bf676cfc7573c5229cf32628086cd36635f7fb13"},
  };
  TTempDir dir;
  for (const TCase& c : cases) {
    const std::string path = dir.File(std::string("ref") + c.Rate + ".wav");
    const TRun run = RenderReference({"--reference", "st2095", path, "--rate", c.Rate});
    ASSERT_EQ(run.Code, 0) << run.Err;
    const auto file = ReadBytes(path);
    EXPECT_EQ(Hex(file, 44, 15), c.FirstBytes) << c.Rate;
    ASSERT_GE(file.size(), 44 + 3 * c.PeriodFrames);
    WriteBytes(dir.File("period"), {file.begin() + 44, file.begin() + 44 + 3 * static_cast<long>(c.PeriodFrames)});
    EXPECT_EQ(Sha256(dir.File("period")), c.Sha256) << c.Rate;
  }
}

/// A copy of a 24-bit WAV file with every sample scaled by gainDb.
void WriteScaledCopy(const std::string& from, const std::string& to, double gainDb) {
  auto file = ReadBytes(from);
  const double gain = std::pow(10.0, gainDb / 20);
  for (size_t at = 44; at + 2 < file.size(); at += 3) {
    const int32_t s = static_cast<int32_t>((uint32_t{file[at]} | file[at + 1] << 8 | file[at + 2] << 16) << 8) >> 8;
    const auto scaled = static_cast<int32_t>(std::lround(s * gain));
    for (int b = 0; b < 3; ++b) file[at + b] = static_cast<uint8_t>(scaled >> (8 * b));
  }
  WriteBytes(to, file);
}

TEST(ReferenceCommands, TheRenderedFilePassesTheCheckAndOtherFilesFailIt) {
  TTempDir dir;
  const std::string reference = dir.File("reference.wav"), louder = dir.File("louder.wav");
  ASSERT_EQ(RenderReference({"--reference", "st2095", reference, "--rate", "96000", "--channels", "2", "--seconds", "12"}).Code, 0);
  const TRun pass = RenderReference({"--check", "st2095", reference});
  EXPECT_EQ(pass.Code, 0) << pass.Out;
  EXPECT_EQ(pass.Out.find("FAIL"), std::string::npos) << pass.Out;
  EXPECT_NE(pass.Out.find("all   samples  exact  PASS"), std::string::npos) << pass.Out;

  WriteScaledCopy(reference, louder, 1);
  const TRun loud = RenderReference({"--check", "st2095", louder});
  EXPECT_EQ(loud.Code, 1);
  EXPECT_NE(loud.Out.find("left  RMS      -17.4"), std::string::npos) << loud.Out;
  EXPECT_NE(loud.Out.find("(-18.5 +- 0.2)  FAIL"), std::string::npos) << loud.Out;

  const std::string pink = dir.File("pink.wav");
  ASSERT_EQ(RenderReference({ZEPHYRA_EXAMPLES_FILE, "1", pink, "--rate", "48000", "--bits", "24", "--seed", "7"}).Code, 0);
  const TRun preset = RenderReference({"--check", "st2095", pink});
  EXPECT_EQ(preset.Code, 1);
  EXPECT_NE(preset.Out.find("FAIL: not the reference noise"), std::string::npos) << preset.Out;
}

TEST(ReferenceCommands, RatesBelowTheStandardAndUnreadableFilesAreRefused) {
  TTempDir dir;
  const std::string out = dir.File("out.wav");
  const TRun low = RenderReference({"--reference", "st2095", out, "--rate", "44100"});
  EXPECT_EQ(low.Code, 2);
  EXPECT_EQ(low.Err, "zephyra-render: the reference noise is defined from 48000 Hz on; --rate 44100 is below it\n");
  EXPECT_FALSE(std::filesystem::exists(out));
  WriteBytes(dir.File("text.wav"), {'h', 'i'});
  for (const std::string& name : {dir.File("missing.wav"), dir.File("text.wav")})
    EXPECT_EQ(RenderReference({"--check", "st2095", name}).Code, 2) << name;
}

}  // namespace
