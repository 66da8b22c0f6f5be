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

TRun Render(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunRender(args, out, err);
  return {code, out.str(), err.str()};
}

/// What the shell prints for command: the oracle is the system's own tools.
std::string Shell(const std::string& command) {
  std::string text(256, '\0');
  FILE* pipe = ::popen(command.c_str(), "r");
  text.resize(pipe ? std::fread(text.data(), 1, text.size(), pipe) : 0);
  if (pipe) ::pclose(pipe);
  return text;
}

TEST(ReferenceCommands, TheFirstPeriodMatchesThePublishedCheckValues) {
  struct TCase {
    const char *Rate, *PeriodBytes, *FirstBytes, *Sha256;
  } const cases[] = {
      {"48000", "1572864", "f54be5ecb8e146a9df280ce9d531f3",
       "7d2935b8f0c2d72a5d3e6a8b1d656d934cb24a7262eec3d0aabb9ba5a984ad1a"},
      {"96000", "3145728", "0072fbe30df30e67f3be82fc29d303",
       "dc854a65ec58b388befdfbb5bf676cfc7573c5229cf32628086cd36635f7fb13"},
  };
  TTempDir dir;
  for (const TCase& c : cases) {
    const std::string path = dir.File(std::string("ref") + c.Rate + ".wav");
    ASSERT_EQ(Render({"--reference", "st2095", path, "--rate", c.Rate}).Code, 0);
    const std::string samples = "tail -c +45 '" + path + "' | head -c ";
    EXPECT_EQ(Shell(samples + "15 | od -An -tx1 | tr -d ' \\n'"), c.FirstBytes) << c.Rate;
    EXPECT_EQ(Shell(samples + c.PeriodBytes + " | sha256sum").substr(0, 64), c.Sha256) << c.Rate;
  }
}

TEST(ReferenceCommands, TheRenderedFilePassesTheCheckAndOtherFilesFailIt) {
  TTempDir dir;
  const std::string reference = dir.File("reference.wav"), louder = dir.File("louder.wav");
  ASSERT_EQ(Render({"--reference", "st2095", reference, "--rate", "96000", "--channels", "2", "--seconds", "12"}).Code, 0);
  const TRun pass = Render({"--check", "st2095", reference});
  EXPECT_EQ(pass.Code, 0) << pass.Out;
  EXPECT_EQ(pass.Out.find("FAIL"), std::string::npos) << pass.Out;
  EXPECT_NE(pass.Out.find("all   samples  exact  PASS"), std::string::npos) << pass.Out;

  // 1 dB louder: every 24-bit sample x 10^(1/20).
  auto file = ReadBytes(reference);
  for (size_t at = 44; at + 2 < file.size(); at += 3) {
    const int32_t s = static_cast<int32_t>((uint32_t{file[at]} | file[at + 1] << 8 | file[at + 2] << 16) << 8) >> 8;
    const auto scaled = static_cast<int32_t>(std::lround(s * std::pow(10.0, 1 / 20.0)));
    for (int b = 0; b < 3; ++b) file[at + b] = static_cast<uint8_t>(scaled >> (8 * b));
  }
  WriteBytes(louder, file);
  const TRun loud = Render({"--check", "st2095", louder});
  EXPECT_EQ(loud.Code, 1);
  EXPECT_NE(loud.Out.find("left  RMS      -17.49 dB re full-scale sine (-18.5 +- 0.2)  FAIL"), std::string::npos)
      << loud.Out;

  const std::string pink = dir.File("pink.wav");
  ASSERT_EQ(Render({ZEPHYRA_EXAMPLES_FILE, "1", pink, "--rate", "48000", "--bits", "24", "--seed", "7"}).Code, 0);
  const TRun preset = Render({"--check", "st2095", pink});
  EXPECT_EQ(preset.Code, 1);
  EXPECT_NE(preset.Out.find("FAIL: not the reference noise"), std::string::npos) << preset.Out;
}

TEST(ReferenceCommands, EachBadCommandLineNamesItsRealFault) {
  TTempDir dir;
  const std::string out = dir.File("out.wav");
  const struct {
    std::vector<std::string> args;
    std::string fault;
  } cases[] = {
      {{"--reference", "st2095", out, "--seconds", "10000000"},
       "--seconds 10000000 is too long. The signal is too long for a WAV file. At 48000 Hz, mono, 24 bits, a WAV "
       "file holds at most 29826 seconds."},
      {{"--reference", "st2095", out, "--bits", "16", "--seconds", "44740"}, "holds at most 44739 seconds."},
      {{"--reference", "st2095", out, "--seconds", "0"}, "--seconds must be a number of seconds above 0, not '0'"},
      {{"--reference", "st2095", out, "-r", "48000"}, "unknown option '-r'; the options are --rate,"},
      {{"--check", "st2095", out, "--rate", "48000"}, "--check takes no options"},
      {{"presets.zep", "1", out, "-r", "48000"}, "unknown option '-r'; the options are --rate,"},
      {{"presets.zep", "-1", out}, "MEMORY must be 1, 2, 3 or 4, not '-1'"},
  };
  for (const auto& c : cases) {
    const TRun run = Render(c.args);
    EXPECT_EQ(run.Code, 2) << run.Err;
    EXPECT_EQ(run.Err.rfind("zephyra-render: ", 0), 0u) << run.Err;
    EXPECT_NE(run.Err.find(c.fault), std::string::npos) << run.Err;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(ReferenceCommands, RatesBelowTheStandardAndUnreadableFilesAreRefused) {
  TTempDir dir;
  const std::string out = dir.File("out.wav");
  const TRun low = Render({"--reference", "st2095", out, "--rate", "44100"});
  EXPECT_EQ(low.Code, 2);
  EXPECT_EQ(low.Err, "zephyra-render: the reference noise is defined from 48000 Hz on; --rate 44100 is below it\n");
  EXPECT_FALSE(std::filesystem::exists(out));
  WriteBytes(dir.File("text.wav"), {'h', 'i'});
  for (const std::string& name : {dir.File("missing.wav"), dir.File("text.wav")})
    EXPECT_EQ(Render({"--check", "st2095", name}).Code, 2) << name;
}

}  // namespace
