// The export of preset memories equals, sample for sample, the tests' plain
// extended-precision rendering, whose settings come straight from the
// preset's texts and list indexes through the test's own conversion here,
// not from anything the window built.

#include "tests/engine/ReferenceRenderer.h"
#include "tests/export/ExportFixture.h"
#include "tests/export/PresetRecordTable.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

namespace {

const long double Pi = 3.141592653589793238462643383279502884L;
const float WhiteExponent[7] = {1.0f, 1.5f, 4.0f, 7.5f, 17.0f, 31.0f, 49.0f};
const float PinkExponent[7] = {0.15f, 0.3166f, 0.535f, 0.7f, 0.955f, 1.17f, 1.31f};

long double Number(std::string text) {
  std::replace(text.begin(), text.end(), ',', '.');
  return std::strtold(text.c_str(), nullptr);
}

/// One channel's record fields (side "Left" or "Right").
struct TSide {
  const TRecordValues& Record;
  std::string Side;
  long double Text(const char* field) const { return Number(Record.Texts.at(field + Side)); }
  int64_t Value(const char* field) const { return Record.Numbers.at(field + Side); }
};

void ChannelFromRecord(const TSide& r, ChannelSettings& c) {
  c.noiseType = static_cast<int32_t>(r.Value("WaveForm"));
  const auto crest = r.Value("CrestFactor");
  c.crestExponent = (c.noiseType == ntPink ? PinkExponent : WhiteExponent)[crest];
  c.amplitudeGain = static_cast<float>(powl(10, r.Text("Amplitude") / 20));
  c.filterType = static_cast<int32_t>(r.Value("FilterType"));
  c.modulationOn = r.Value("ModulationOn") != 0;
  c.modulationFunction = static_cast<int32_t>(r.Value("ModFunction"));
  c.modulationPeriod = static_cast<float>(r.Text("ModPeriod"));
  c.modulationDepth = static_cast<float>(r.Text("ModDepth") / 100);
  c.modulationPhase = static_cast<float>(r.Text("ModPhase") * Pi / 180);
  c.modulationGain = 1;
  c.channelOn = r.Record.Numbers.at(r.Side == "Left" ? "LeftTick" : "RightTick") != 0;
}

/// The cookbook biquad with the program's limits on its inputs.
void DesignFromRecord(const TSide& r, int32_t rate, ChannelFilter& f) {
  const auto type = r.Value("FilterType");
  const double f0 = static_cast<double>(std::clamp(r.Text("FZero"), 1.0L, rate / 2.0L));
  double q = static_cast<double>(std::clamp(r.Text("Q"), 0.01L, 100000.0L));
  double gain = static_cast<double>(std::clamp(r.Text("Gain"), -200.0L, 200.0L));
  if (type == ftHighPass || type == ftLowPass) q = 1;  // their Q field shows "1" after the recall
  if (gain == 0) gain = 0.02;
  const double w0 = static_cast<double>(2 * Pi * f0 / rate), c = std::cos(w0);
  const double alpha = std::sin(w0) / (2 * q), a = std::pow(10.0, gain / 40);
  auto set = [&f](double b0, double b1, double b2, double a0, double a1, double a2) {
    f.b0 = b0, f.b1 = b1, f.b2 = b2, f.a0 = a0, f.a1 = a1, f.a2 = a2;
  };
  switch (type) {
    case ftPeaking: set(1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a); break;
    case ftHighPass: set((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha); break;
    case ftLowPass: set((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha); break;
    case ftBandPass: set(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha); break;
    case ftNotch: set(1, -2 * c, 1, 1 + alpha, -2 * c, 1 - alpha); break;
    default: break;
  }
  f.x1 = f.x2 = 0;
  f.y1 = f.y2 = 0;
}

/// The samples one pass of the record renders to, interleaved, before storage.
std::vector<int32_t> UnstoredSamples(const TRecordValues& record, int32_t rate, int32_t bits, uint32_t seed) {
  GeneratorState s;
  s.sampleRate = rate;
  s.bitsPerSample = bits;
  s.fullScale = (1 << (bits - 1)) - 1;
  s.channels = record.Numbers.at("Mono") == 1 ? cmMono : cmStereo;
  s.asLeft = false;  // the export renders the right channel from its own settings
  s.loop = false;
  const float seconds = static_cast<float>(Number(record.Texts.at("Duration")));
  s.totalFrames = static_cast<int64_t>(nearbyintl(static_cast<long double>(seconds) * rate));
  s.frameIndex = 0;
  const TSide left{record, "Left"}, right{record, "Right"};
  ChannelFromRecord(left, s.left);
  ChannelFromRecord(right, s.right);
  DesignFromRecord(left, rate, s.filterL);
  DesignFromRecord(right, rate, s.filterR);
  s.random.Seed(seed);
  return TReferenceRenderer(s).RenderFrames(s.totalFrames);
}

/// The samples one pass of the record renders to, interleaved, held within the width.
std::vector<int32_t> ReferenceSamples(const TRecordValues& record, int32_t rate, int32_t bits, uint32_t seed) {
  std::vector<int32_t> samples = UnstoredSamples(record, rate, bits, seed);
  const int32_t most = (1 << (bits - 1)) - 1;
  for (int32_t& v : samples) v = std::clamp(v, -most - 1, most);
  return samples;
}

/// Every sample of a WAV file, interleaved.
std::vector<int32_t> AllSamples(const std::vector<uint8_t>& wav) {
  const auto left = ChannelSamples(wav, 0);
  if (U16(wav, 22) == 1) return left;
  const auto right = ChannelSamples(wav, 1);
  std::vector<int32_t> all;
  for (size_t i = 0; i < left.size() && i < right.size(); ++i) all.insert(all.end(), {left[i], right[i]});
  return all;
}

/// Records with every filter, every modulation function, both noises,
/// a gain that drives the peaking filter past full scale and a switched-off
/// right channel; texts in their validated form.
std::vector<TRecordValues> VariedRecords() {
  auto record = [](std::map<std::string, std::string> texts, std::map<std::string, int64_t> numbers) {
    TRecordValues r;
    r.Texts = {{"Name", "Varied"}, {"Duration", "0.7"}, {"AmplitudeLeft", "-6"}, {"AmplitudeRight", "-12.5"},
               {"ModPeriodLeft", "0.25"}, {"ModPeriodRight", "0.1"}, {"ModDepthLeft", "80"},
               {"ModDepthRight", "50"}, {"ModPhaseLeft", "45"}, {"ModPhaseRight", "0"}, {"FZeroLeft", "2000"},
               {"GainLeft", "12"}, {"QLeft", "0.7"}, {"FZeroRight", "500"}, {"GainRight", "0"}, {"QRight", "2"}};
    r.Numbers = {{"WaveFormLeft", 1}, {"WaveFormRight", 0}, {"Loop", 0}, {"Mono", 0}, {"LeftTick", 1},
                 {"RightTick", 1}, {"ModulationOnLeft", 1}, {"ModulationOnRight", 1}, {"ModFunctionLeft", 0},
                 {"ModFunctionRight", 2}, {"CrestFactorLeft", 2}, {"CrestFactorRight", 5}, {"AsLeft", 0},
                 {"FilterTypeLeft", ftPeaking}, {"FilterTypeRight", ftNotch}};
    for (auto& [k, v] : texts) r.Texts[k] = v;
    for (auto& [k, v] : numbers) r.Numbers[k] = v;
    return r;
  };
  return {
      record({}, {}),
      record({{"Duration", "0.5"}, {"AmplitudeLeft", "-3"}, {"FZeroLeft", "3000"}, {"ModPeriodLeft", "0.5"},
              {"ModDepthLeft", "100"}, {"ModPhaseLeft", "90"}},
             {{"Mono", 1}, {"WaveFormLeft", 0}, {"CrestFactorLeft", 6}, {"FilterTypeLeft", ftLowPass},
              {"ModFunctionLeft", mfTriangular}}),
      record({{"AmplitudeLeft", "-20"}, {"AmplitudeRight", "-1"}, {"FZeroLeft", "150"}, {"FZeroRight", "800"},
              {"QRight", "4"}},
             {{"WaveFormRight", 1}, {"RightTick", 0}, {"FilterTypeLeft", ftHighPass},
              {"FilterTypeRight", ftBandPass}, {"ModulationOnLeft", 0}, {"ModulationOnRight", 0}}),
      record({{"ModPeriodLeft", "2"}, {"ModPhaseRight", "270"}},
             {{"ModFunctionLeft", mfCosine}, {"ModFunctionRight", mfTriangular}, {"FilterTypeLeft", ftNone}}),
  };
}

class ReferenceExport : public ExportFixture {
protected:
  /// Exports memory of the preset file at the rate list entry and width of a
  /// freshly started program, and compares with the reference.
  void ExpectReferenceSamples(const std::string& file, int memory, int rateIndex, int32_t rate, int32_t bits) {
    SCOPED_TRACE(testing::Message() << file << " memory " << memory << ", " << rate << " Hz, " << bits << " bits");
    constexpr uint32_t seed = 4242;
    Restart();
    Settings->cboFsList.UserSelect(rateIndex);
    Settings->cboQuant.UserSelect(bits == 24 ? 1 : 0);
    ASSERT_TRUE(Gen->LoadSettings(file));
    Gen->MemRecall(memory);
    const auto exported = AllSamples(ExportSeeded(seed, "export.wav"));
    const auto expected = ReferenceSamples(ReadRecord(ReadBytes(file), memory), rate, bits, seed);
    ASSERT_EQ(exported.size(), expected.size());
    ASSERT_FALSE(expected.empty());
    size_t differences = 0, first = 0;
    for (size_t i = exported.size(); i-- > 0;)
      if (exported[i] != expected[i]) ++differences, first = i;
    EXPECT_EQ(differences, 0u) << "first at sample " << first << ": " << exported[first] << " instead of "
                               << expected[first];
  }
};

TEST_F(ReferenceExport, TheExampleMemoriesIncludingTheFilteredAndThe80PercentModulatedOne) {
  for (int memory = 1; memory <= 4; ++memory) {
    ExpectReferenceSamples(ZEPHYRA_EXAMPLES_FILE, memory, 3, 44100, 16);
    ExpectReferenceSamples(ZEPHYRA_EXAMPLES_FILE, memory, 4, 48000, 24);
  }
}

TEST_F(ReferenceExport, MemoriesWithEveryFilterAndModulationFunction) {
  const std::string file = Dir.File("varied.zep");
  WriteBytes(file, PresetFileBytes(VariedRecords()));
  for (int memory = 1; memory <= 4; ++memory) {
    ExpectReferenceSamples(file, memory, 0, 8000, 16);
    ExpectReferenceSamples(file, memory, 5, 96000, 24);
  }
}

TEST_F(ReferenceExport, TheSamplesBeyondFullScaleAreCountedPerChannelAsTheReferenceHasThem) {
  // White noise at full level through a 1 kHz High Pass overshoots full
  // scale (left); the right channel stays below it.
  TRecordValues loud = VariedRecords()[2];
  loud.Texts["AmplitudeLeft"] = "0";
  loud.Texts["FZeroLeft"] = "1000";
  loud.Numbers["WaveFormLeft"] = ntWhite;
  loud.Numbers["CrestFactorLeft"] = 0;
  loud.Numbers["RightTick"] = 1;
  const std::string file = Dir.File("loud.zep");
  WriteBytes(file, PresetFileBytes({loud}));
  for (const auto& [rateIndex, rate, bits] : {std::tuple{4, 48000, 16}, std::tuple{5, 96000, 24}}) {
    Restart();
    Settings->cboFsList.UserSelect(rateIndex);
    Settings->cboQuant.UserSelect(bits == 24 ? 1 : 0);
    ASSERT_TRUE(Gen->LoadSettings(file));
    Gen->MemRecall(1);
    ExportSeeded(77, "loud.wav");
    const int32_t most = (1 << (bits - 1)) - 1;
    int64_t expected[2] = {};
    const std::vector<int32_t> unstored = UnstoredSamples(loud, rate, bits, 77);
    for (size_t i = 0; i < unstored.size(); ++i) expected[i % 2] += unstored[i] > most || unstored[i] < -most - 1;
    EXPECT_GT(expected[0], static_cast<int64_t>(unstored.size() / 2 / 100)) << rate;
    EXPECT_EQ(Gen->LastExportClipped()[0], expected[0]) << rate;
    EXPECT_EQ(Gen->LastExportClipped()[1], expected[1]) << rate;
  }
}

}  // namespace
