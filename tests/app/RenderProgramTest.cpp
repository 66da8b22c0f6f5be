// zephyra-render against the window's own export, and its command line.

#include "app/render/RenderProgram.h"
#include "export/frmWait.h"
#include "tests/app/GeneratorFixture.h"
#include "tests/persistence/TempDir.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

using RenderProgram = GeneratorFixture;

int RenderWith(const std::vector<std::string>& args, std::string& err) {
  std::ostringstream out, errors;
  const int code = RunRender(args, out, errors);
  err = errors.str();
  return code;
}

/// The 16-bit samples of a written file.
std::vector<int16_t> Samples16(const std::vector<uint8_t>& file) {
  std::vector<int16_t> samples;
  for (size_t at = 44; at + 1 < file.size(); at += 2)
    samples.push_back(static_cast<int16_t>(file[at] | (file[at + 1] << 8)));
  return samples;
}

TEST_F(RenderProgram, WritesTheSameFileAsTheWindowsExportForTheSameSeed) {
  TTempDir dir;
  std::string err;
  ASSERT_EQ(RenderWith({ZEPHYRA_EXAMPLES_FILE, "4", dir.File("render.wav"), "--rate", "48000", "--bits", "24", "--seed",
                 "1234"},
                err),
            reWritten)
      << err;
  EXPECT_EQ(err, "");

  TfrmWait wait(*Gen);
  Settings->cboFsList.UserSelect(4);
  Settings->cboQuant.UserSelect(1);
  ASSERT_TRUE(Gen->LoadSettings(ZEPHYRA_EXAMPLES_FILE));
  Gen->MemRecall(4);
  Gen->State.random.Seed(1234);
  Dialogs.Paths.push_back(dir.File("window.wav"));
  Gen->SaveToneAsWaveFile1.Click();
  const auto rendered = ReadBytes(dir.File("render.wav"));
  ASSERT_GT(rendered.size(), 44u);
  EXPECT_TRUE(rendered == ReadBytes(dir.File("window.wav")));
}

TEST_F(RenderProgram, EveryExampleMemoryRendersAudibleUnclippedNoise) {
  TTempDir dir;
  for (int memory = 1; memory <= 4; ++memory) {
    std::string err;
    const std::string path = dir.File("m" + std::to_string(memory) + ".wav");
    ASSERT_EQ(RenderWith({ZEPHYRA_EXAMPLES_FILE, std::to_string(memory), path, "--seed", "99"}, err), reWritten) << err;
    const auto samples = Samples16(ReadBytes(path));
    ASSERT_FALSE(samples.empty());
    double power = 0;
    size_t clipped = 0;
    for (int16_t s : samples) {
      power += double(s) * s;
      clipped += s == 32767 || s == -32768;
    }
    const double rmsDb = 10 * std::log10(power / samples.size() / (32767.0 * 32767.0));
    EXPECT_GT(rmsDb, -60) << "memory " << memory;
    EXPECT_LT(clipped, samples.size() / 1000) << "memory " << memory;
  }
}

TEST_F(RenderProgram, UnusableInputsGiveOneLineAndANonZeroExit) {
  TTempDir dir;
  WriteBytes(dir.File("notes.txt"), {'h', 'i'});
  std::vector<uint8_t> cut = ReadBytes(ZEPHYRA_EXAMPLES_FILE);
  cut.resize(5000);
  WriteBytes(dir.File("cut.zep"), cut);
  const std::string out = dir.File("out.wav");
  const std::string examples = ZEPHYRA_EXAMPLES_FILE;
  const std::vector<std::pair<std::vector<std::string>, int>> cases = {
      {{examples, "5", out}, reUsage},
      {{examples, "one", out}, reUsage},
      {{examples, "1", out, "--bits", "20"}, reUsage},
      {{examples, "1", out, "--rate", "44000"}, reUsage},
      {{examples, "1", out, "--seed"}, reUsage},
      {{examples, "1", out, "--loud"}, reUsage},
      {{dir.File("missing.zep"), "1", out}, reFailed},
      {{dir.File("notes.txt"), "1", out}, reFailed},
      {{dir.File("cut.zep"), "2", out}, reFailed},
      {{examples, "1", dir.File("no/folder.wav")}, reFailed},
      {{examples, "1", "/dev/full"}, reFailed},
  };
  for (const auto& [args, code] : cases) {
    std::string err;
    EXPECT_EQ(RenderWith(args, err), code) << err;
    EXPECT_EQ(err.rfind("zephyra-render: ", 0), 0u) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  std::string err;
  EXPECT_EQ(RenderWith({dir.File("cut.zep"), "1", dir.File("one.wav")}, err), reWritten) << "memory 1 is whole";
  EXPECT_EQ(err, "zephyra-render: '" + dir.File("cut.zep") +
                     "' is truncated: it holds 1 of the 4 memories whole (5000 of 16581 bytes)\n");
}

/// "%.2f" of 20 log10(value / 32767), or "-inf".
std::string Db16(double value) {
  if (value <= 0) return "-inf";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", 20 * std::log10(value / 32767));
  return text;
}

TEST_F(RenderProgram, StatsPrintTheLevelsOfEachChannelOfTheWrittenFile) {
  TTempDir dir;
  const std::string path = dir.File("stats.wav");
  std::ostringstream out, err;
  ASSERT_EQ(RunRender({ZEPHYRA_EXAMPLES_FILE, "2", path, "--seed", "5", "--stats"}, out, err), reWritten) << err.str();
  const auto file = ReadBytes(path);
  const size_t channels = file.at(22);
  const auto samples = Samples16(file);
  std::string expected;
  for (size_t c = 0; c < channels; ++c) {
    double sum = 0, peak = 0;
    for (size_t i = c; i < samples.size(); i += channels) {
      sum += double(samples[i]) * samples[i];
      peak = std::max(peak, std::abs(double(samples[i])));
    }
    const double rms = std::sqrt(sum / double(samples.size() / channels));
    char crest[32];
    std::snprintf(crest, sizeof crest, "%.2f", peak / rms);
    expected += std::string(channels == 1 ? "mono" : c == 0 ? "left" : "right") + " rms=" + Db16(rms) +
                " peak=" + Db16(peak) + " crest=" + crest + " clipped=0\n";
  }
  EXPECT_EQ(out.str(), expected);
}

TEST_F(RenderProgram, StatsOfAFileThatCannotBeReadBackFail) {
  std::ostringstream out, err;
  EXPECT_EQ(RunRender({ZEPHYRA_EXAMPLES_FILE, "1", "/dev/null", "--seed", "5", "--stats"}, out, err), reFailed);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "zephyra-render: --stats: '/dev/null': not a WAV file\n");
}

TEST_F(RenderProgram, HelpExplainsTheUse) {
  std::ostringstream out, err;
  EXPECT_EQ(RunRender({"--help"}, out, err), reWritten);
  EXPECT_NE(out.str().find("PRESET_FILE MEMORY OUT.wav"), std::string::npos);
  EXPECT_EQ(err.str(), "");
  // Without arguments the same use is the error message.
  std::ostringstream none, usage;
  EXPECT_EQ(RunRender({}, none, usage), reUsage);
  EXPECT_EQ(none.str(), "");
  EXPECT_EQ(usage.str(), out.str());
}

}  // namespace
