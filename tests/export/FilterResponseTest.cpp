// The filter lists reach the sound: noise exported through the window, with
// and without a filter from the same random sequence, measured at probe
// frequencies against the response the filter is designed to have.

#include "tests/export/ExportFixture.h"
#include "tests/export/ToneLevels.h"

#include <string>
#include <vector>

namespace {

constexpr double kRate = 44100;
constexpr uint32_t kSeed = 20240611;

/// Below this the measurement sees leakage and rounding noise, not the filter.
constexpr double kFloorDb = -30;

class FilterResponse : public ExportFixture {
protected:
  /// Mono white noise with a flat spectrum ("1.42:1"), -20 dBFS, 3 s at 44.1 kHz.
  void ChooseWhiteNoise() {
    Choose(3, 0, cmMono, "3");
    Gen->WaveFormLeft.UserSelect(ntWhite);
    Gen->cboCrestFactorL.UserSelect(0);
    Enter(Gen->AmplitudeLeft, "-20");
  }

  /// The left channel of an export from kSeed.
  std::vector<int32_t> Left(const std::string& name) { return ChannelSamples(ExportSeeded(kSeed, name), 0); }

  /// Every probe lies within a dB of the designed response, or below the floor where that is.
  void ExpectResponse(const std::vector<int32_t>& filtered, const std::vector<int32_t>& plain, TDesign type,
                      double f0, double q, double gainDb, const std::vector<double>& probes) {
    ASSERT_EQ(filtered.size(), plain.size());
    ASSERT_FALSE(plain.empty());
    for (double hz : probes) {
      const double designed = DesignedDb(type, f0, q, gainDb, kRate, hz);
      const double measured = MeasuredDb(filtered, plain, hz, kRate);
      if (designed > kFloorDb)
        EXPECT_NEAR(measured, designed, 1.0) << hz << " Hz";
      else
        EXPECT_LT(measured, kFloorDb + 5) << hz << " Hz, designed " << designed << " dB";
    }
  }
};

struct TUserFilter {
  TDesign Type;
  std::string F0, Q, Gain;  // empty: the field is disabled for this type
  double DesignQ;           // High and Low Pass run at Q 1 once their Q field shows "1"
  std::vector<double> Probes;
};

TEST_F(FilterResponse, EachFilterChosenInTheWindowShapesTheExportedNoise) {
  const std::vector<TUserFilter> filters = {
      {TDesign::Peaking, "1000", "3", "-10", 3, {1000, 900, 1150, 500, 2000, 5000}},
      {TDesign::HighPass, "200", "", "", 1, {30, 100, 200, 400, 2000, 10000}},
      {TDesign::LowPass, "2000", "", "", 1, {200, 1000, 2000, 4000, 8000, 16000}},
      {TDesign::BandPass, "1000", "2", "", 2, {1000, 500, 2000, 200, 6000}},
      {TDesign::Notch, "3000", "1", "", 1, {3000, 2500, 1000, 9000}},
  };
  ChooseWhiteNoise();
  const auto plain = Left("plain.wav");
  for (const TUserFilter& f : filters) {
    SCOPED_TRACE(static_cast<int>(f.Type));
    Gen->cboFilterTypeL1.UserSelect(static_cast<int32_t>(f.Type));
    Enter(Gen->txtFZeroL, f.F0);
    if (!f.Q.empty()) Enter(Gen->txtQL, f.Q);
    if (!f.Gain.empty()) Enter(Gen->txtGainL, f.Gain);
    ExpectResponse(Left("filtered.wav"), plain, f.Type, std::stod(f.F0), f.DesignQ,
                   f.Gain.empty() ? 0 : std::stod(f.Gain), f.Probes);
  }
}

TEST_F(FilterResponse, TheBuiltInPresetsThatFilterPlayFilteredNoise) {
  struct TPresetCase {
    int Memory;
    TDesign Type;
    double F0, Q;
    std::vector<double> Probes;
  };
  // "Pink 1 kHz Band": Band Pass 1 kHz, Q 1.41. "White High Pass": 200 Hz,
  // stored with Q 0.71, which the recall turns into 1.
  const std::vector<TPresetCase> presets = {
      {2, TDesign::BandPass, 1000, 1.41, {1000, 707, 1414, 250, 4000}},
      {3, TDesign::HighPass, 200, 1, {40, 100, 200, 1000, 8000}},
  };
  Settings->cboFsList.UserSelect(3);
  ASSERT_TRUE(Gen->LoadSettings(ZEPHYRA_EXAMPLES_FILE));
  for (const TPresetCase& p : presets) {
    SCOPED_TRACE(p.Memory);
    Gen->MemRecall(p.Memory);
    const auto filtered = Left("preset.wav");
    Gen->cboFilterTypeL1.UserSelect(ftNone);
    ExpectResponse(filtered, Left("plain.wav"), p.Type, p.F0, p.Q, 0, p.Probes);
  }
}

TEST_F(FilterResponse, TheListReachesTheSoundWhicheverWayItChanged) {
  ChooseWhiteNoise();
  const auto peakingAt1k = [&](const std::string& path) {
    const auto shaped = Left(path + ".wav");
    const int32_t chosen = Gen->cboFilterTypeL1.ItemIndex();
    Gen->cboFilterTypeL1.UserSelect(ftNone);
    const auto plain = Left(path + "-plain.wav");
    Gen->cboFilterTypeL1.UserSelect(chosen);
    return MeasuredDb(shaped, plain, 1000, kRate);
  };

  Gen->cboFilterTypeL1.UserSelect(ftPeaking);
  Enter(Gen->txtGainL, "-10");
  EXPECT_NEAR(peakingAt1k("user"), -10, 1) << "chosen by the user";

  Gen->MemStore(1);
  Gen->cboFilterTypeL1.UserSelect(ftNone);
  Gen->MemRecall(1);
  EXPECT_NEAR(peakingAt1k("recall"), -10, 1) << "recalled from a memory";

  Gen->Close();
  Restart();
  ChooseWhiteNoise();
  ASSERT_EQ(Gen->cboFilterTypeL1.ItemIndex(), ftPeaking);
  EXPECT_NEAR(peakingAt1k("stored"), -10, 1) << "loaded from the stored settings";

  Gen->rESETTOdEFAULT1Click();
  ChooseWhiteNoise();
  const auto reset = Left("reset.wav");
  Gen->cboFilterTypeL1.UserSelect(ftNone);
  EXPECT_NEAR(MeasuredDb(reset, Left("reset-plain.wav"), 1000, kRate), 0, 0.1) << "reset to None";
}

TEST_F(FilterResponse, PlaybackCarriesTheFilterToo) {
  ChooseWhiteNoise();
  Device.AutoReturn = true;
  const auto played = [&] {
    Gen->State.random.Seed(kSeed);
    StartOutput();
    std::vector<uint8_t> bytes(44);  // as a file's header, for ChannelSamples
    bytes[22] = 1, bytes[34] = 16;
    for (size_t taken = 0; bytes.size() < 44 + 2 * 3 * size_t{44100} && Gen->AudioOut1->Active;) {
      Loop.ProcessMessages();
      const auto writes = Device.Writes();
      for (; taken < writes.size(); ++taken)
        bytes.insert(bytes.end(), writes[taken].Data.begin(), writes[taken].Data.end());
    }
    EXPECT_TRUE(Gen->AudioOut1->Active) << "the looping output goes on";
    Gen->btnOFF.Click();
    Loop.ProcessMessages();
    Device.Calls.clear();
    return ChannelSamples(bytes, 0);
  };
  Gen->cboFilterTypeL1.UserSelect(ftPeaking);
  Enter(Gen->txtGainL, "-10");
  const auto shaped = played();
  Gen->cboFilterTypeL1.UserSelect(ftNone);
  EXPECT_NEAR(MeasuredDb(shaped, played(), 1000, kRate), -10, 1);
}

}  // namespace
