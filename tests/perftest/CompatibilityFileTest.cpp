// "Compatibility Test.kav" as the build generates it: each memory recalled in
// a main window and exported, against what the performance test's prompts
// promise of it.

#include "tests/app/GeneratorFixture.h"
#include "tests/export/LittleEndian.h"
#include "tests/persistence/TempDir.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

struct TExport {
  int Channels = 0;
  double Seconds = 0;
  /// Samples of the first channel.
  std::vector<int16_t> Left;
};

class CompatibilityFile : public GeneratorFixture {
protected:
  TExport Export(int memory) {
    Gen->MemRecall(memory);
    const std::string file = Dir.File("m.wav");
    EXPECT_EQ(Gen->ExportSignal([&] { return std::optional<std::string>(file); }),
              TfrmGenerator::TWaveWriteOutcome::Written);
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> b{std::istreambuf_iterator<char>(in), {}};
    TExport e;
    if (b.size() < 44) return e;
    e.Channels = static_cast<int>(U16(b, 22));
    e.Seconds = static_cast<double>(U32(b, 40)) / U32(b, 28);
    for (size_t at = 44; at + 1 < b.size(); at += 2u * e.Channels)
      e.Left.push_back(static_cast<int16_t>(U16(b, at)));
    return e;
  }

  TTempDir Dir;
};

/// Sign changes per second of the middle second: 2000 for a 1 kHz tone.
double CrossingsPerSecond(const std::vector<int16_t>& s, int rate) {
  int crossings = 0;
  const size_t from = s.size() / 2;
  for (size_t i = from + 1; i < from + static_cast<size_t>(rate) && i < s.size(); ++i)
    if ((s[i - 1] < 0) != (s[i] < 0)) ++crossings;
  return crossings;
}

double Rms(const std::vector<int16_t>& s) {
  double sum = 0;
  for (int16_t v : s) sum += static_cast<double>(v) * v;
  return s.empty() ? 0 : std::sqrt(sum / static_cast<double>(s.size()));
}

TEST_F(CompatibilityFile, HoldsTheFourSignalsThatThePromptsDescribe) {
  ASSERT_TRUE(Gen->LoadSettings(std::string(ZEPHYRA_PROGRAM_DIR) + "/Compatibility Test.kav"));
  Settings->cboFsList.UserSelect(3);  // 44100 Hz, as the test plays them
  // A fixed sequence: the crossing count of band-passed noise varies by a few
  // percent from one random sequence to the next.
  Gen->State.random.Seed(2026);
  struct TCase { int memory; int channels; double seconds; bool tone; };
  for (const TCase& c : {TCase{4, 2, 10, false}, TCase{1, 1, 5, true}, TCase{2, 2, 5, false},
                         TCase{3, 2, 5, true}}) {
    const TExport e = Export(c.memory);
    EXPECT_EQ(e.Channels, c.channels) << c.memory;
    EXPECT_DOUBLE_EQ(e.Seconds, c.seconds) << c.memory;
    EXPECT_GT(Rms(e.Left), 300) << "audible (-40 dBFS): memory " << c.memory;
    if (c.tone) {
      // A narrow band at 1 kHz crosses zero about 2000 times a second; the
      // skirts of a two-pole band pass raise the count by a few percent.
      EXPECT_NEAR(CrossingsPerSecond(e.Left, 44100), 2000, 200) << c.memory;
    }
    EXPECT_FALSE(Gen->Loop.Checked()) << "the test waits for each playback to end: memory " << c.memory;
  }
  EXPECT_TRUE(Gen->ModulationOnLeft.Checked()) << "memory 3 is modulated";
}

}  // namespace
