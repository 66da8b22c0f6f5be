// The crest factor the shaping reaches, measured on files the window exports.
// Uniform noise v shaped to sign(v) |v|^p has RMS 1 / sqrt(2p + 1) and peaks
// near 1, so white noise must reach sqrt(2p + 1) : 1 for each list entry.
// Pink noise is not uniform; its figures are printed, not asserted.

#include "engine/ChannelSettings.h"
#include "export/frmWait.h"
#include "tests/app/GeneratorFixture.h"
#include "tests/persistence/TempDir.h"

#include <cmath>
#include <cstdio>

namespace {

class CrestFactor : public GeneratorFixture {
protected:
  void SetUp() override {
    GeneratorFixture::SetUp();
    Wait = std::make_unique<TfrmWait>(*Gen);
    Settings->cboFsList.UserSelect(3);  // 44100 Hz
    Settings->cboQuant.UserSelect(1);   // 24 bits: the quiet samples of high exponents keep their size
    Gen->Duration.SetText("10");
    Gen->AmplitudeLeft.SetText("0");
  }
  void TearDown() override { Wait.reset(); }

  /// Peak / RMS of a 10 s mono export of `noise` at crest list entry `crest`.
  double ExportedCrest(int32_t noise, int32_t crest) {
    Gen->WaveFormLeft.UserSelect(noise);
    Gen->cboCrestFactorL.UserSelect(crest);
    Gen->State.random.Seed(static_cast<uint32_t>(1000 + crest));
    const std::string path = Dir.File("crest.wav");
    Dialogs.Paths.push_back(path);
    App.Perform([&] { Gen->SaveToneAsWaveFile1.Click(); });
    const auto bytes = ReadBytes(path);
    EXPECT_EQ(bytes.size(), 44u + 3u * 441000u);
    double sum = 0, peak = 0;
    size_t count = 0;
    for (size_t at = 44; at + 2 < bytes.size(); at += 3, ++count) {
      const int32_t s = static_cast<int32_t>((uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 |
                                              uint32_t{bytes[at + 2]} << 16) << 8) >> 8;
      sum += double(s) * s;
      peak = std::max(peak, std::abs(double(s)));
    }
    return count && sum > 0 ? peak / std::sqrt(sum / double(count)) : 0;
  }

  TTempDir Dir;
  std::unique_ptr<TfrmWait> Wait;
};

TEST_F(CrestFactor, WhiteNoiseReachesSqrtOf2pPlus1ForEachEntry) {
  for (int32_t crest = 0; crest < CrestChoiceCount; ++crest) {
    const double p = WhiteCrestExponents[crest];
    const double expected = std::sqrt(2 * p + 1);
    EXPECT_NEAR(ExportedCrest(ntWhite, crest), expected, 0.03 * expected) << "entry " << crest << ", p = " << p;
  }
}

TEST_F(CrestFactor, PinkNoiseFiguresArePrinted) {
  for (int32_t crest = 0; crest < CrestChoiceCount; ++crest) {
    const double measured = ExportedCrest(ntPink, crest);
    EXPECT_GT(measured, 1.0);
    std::printf("pink crest entry %d (%s): measured %.2f:1\n", crest, Gen->cboCrestFactorL.Items()[static_cast<size_t>(crest)].c_str(),
                measured);
  }
}

}  // namespace
