#include "analysis/ReferenceCheck.h"

#include "analysis/BandSpectrum.h"
#include "analysis/LevelText.h"
#include "analysis/WavLevels.h"
#include "engine/ReferenceNoise.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr int32_t BlockFrames = 8192;
/// Beyond this rate the spectrum's FFT would grow without need.
constexpr int32_t HighestRate = 768000;
/// RMS of a full-scale sine re the RMS of a full-scale square.
const double SineDb = 20 * std::log10(std::sqrt(0.5));

/// What is summed of one channel while the file is read.
struct TChannelMeasure {
  TLevelSums Sums;
  TBandSpectrum Spectrum;
  int64_t Differences = 0;
  int64_t Largest = 0;
};

/// The band of 31.5 Hz to 16 kHz furthest from the bands' mean level, in dB, and its centre.
std::pair<double, double> WorstBand(const TBandSpectrum& spectrum) {
  std::vector<std::pair<double, double>> bands;  // level, centre
  double sum = 0;
  for (int32_t b = 0; b < spectrum.BandCount(); ++b) {
    const double hz = spectrum.BandCentreHz(b);
    // The nominal centres are rounded: 31.5 Hz is the series' 31.6 Hz.
    if (hz < LowestBandHz * 0.98 || hz > HighestBandHz * 1.02) continue;
    bands.emplace_back(spectrum.BandLevelDb(b), hz);
    sum += bands.back().first;
  }
  constexpr double Infinite = std::numeric_limits<double>::infinity();
  // A rate too low for the top band, or a silent band: no flat spectrum.
  if (bands.empty() || bands.back().second < HighestBandHz * 0.98 || !std::isfinite(sum)) return {Infinite, 0};
  const double mean = sum / static_cast<double>(bands.size());
  std::pair<double, double> worst{0, 0};
  for (const auto& [level, hz] : bands)
    if (std::abs(level - mean) > std::abs(worst.first)) worst = {level - mean, hz};
  return worst;
}

void Measure(TReferenceCheck& check, std::array<TChannelMeasure, 2>& channels, const uint8_t* block, int32_t frames,
             TReferenceNoise& noise, std::vector<float>& scaled) {
  const TPcmWavFormat& f = check.Format;
  for (int c = 0; c < f.Channels; ++c) {
    TChannelMeasure& m = channels[static_cast<size_t>(c)];
    ReadChannel(block, frames, f.Channels, f.BytesPerSample, c, f.FullScale(), m.Sums, scaled.data());
    m.Spectrum.Add(scaled.data(), frames);
  }
  if (!check.ReferenceExists) return;
  const uint8_t* p = block;
  for (int32_t i = 0; i < frames; ++i) {
    const int32_t reference = ReferenceSample(noise.Next(), f.BytesPerSample);
    for (int c = 0; c < f.Channels; ++c, p += f.BytesPerSample) {
      const int64_t difference = std::abs(int64_t{PcmSample(p, f.BytesPerSample)} - reference);
      if (difference == 0) continue;
      TChannelMeasure& m = channels[static_cast<size_t>(c)];
      ++m.Differences;
      m.Largest = std::max(m.Largest, difference);
    }
  }
}

TReferenceFigures FiguresOf(const std::string& name, const TLevelSums& sums, double fullScale) {
  const TLevels levels = LevelsOf(sums, fullScale);
  TReferenceFigures f;
  f.Name = name;
  f.RmsDbReSine = levels.rmsDb - SineDb;
  f.PeakDbFs = levels.peakDb;
  return f;
}

void Summarise(TReferenceCheck& check, std::array<TChannelMeasure, 2>& channels) {
  const TPcmWavFormat& format = check.Format;
  TLevelSums all;
  check.All.Name = "all";
  for (int c = 0; c < format.Channels; ++c) {
    const TChannelMeasure& m = channels[static_cast<size_t>(c)];
    all.Add(m.Sums);
    TReferenceFigures f = FiguresOf(ChannelName(c, format.Channels), m.Sums, format.FullScale());
    std::tie(f.BandDeviationDb, f.BandDeviationHz) = WorstBand(m.Spectrum);
    f.Differences = m.Differences;
    f.LargestDifference = m.Largest;
    if (std::abs(f.BandDeviationDb) >= std::abs(check.All.BandDeviationDb))
      std::tie(check.All.BandDeviationDb, check.All.BandDeviationHz) = std::pair(f.BandDeviationDb, f.BandDeviationHz);
    check.All.Differences += f.Differences;
    check.All.LargestDifference = std::max(check.All.LargestDifference, f.LargestDifference);
    check.Channels.push_back(f);
  }
  const TReferenceFigures levels = FiguresOf("all", all, format.FullScale());
  check.All.RmsDbReSine = levels.RmsDbReSine;
  check.All.PeakDbFs = levels.PeakDbFs;
}

}  // namespace

bool RmsPasses(const TReferenceFigures& f) noexcept {
  return std::abs(f.RmsDbReSine - ReferenceRmsDbReSine) <= RmsToleranceDb;
}

bool PeakPasses(const TReferenceFigures& f) noexcept { return f.PeakDbFs <= ReferencePeakDbFs + PeakRoundingDb; }

bool LongEnoughForBands(const TReferenceCheck& check) noexcept {
  return static_cast<double>(check.Frames) >= BandSeconds * check.Format.SampleRate;
}

bool BandsPass(const TReferenceCheck& check, const TReferenceFigures& f) noexcept {
  return LongEnoughForBands(check) && std::abs(f.BandDeviationDb) <= BandToleranceDb;
}

bool SamplesPass(const TReferenceCheck& check, const TReferenceFigures& f) noexcept {
  return check.ReferenceExists && check.Frames > 0 && f.Differences == 0;
}

bool Passes(const TReferenceCheck& check) noexcept {
  for (const TReferenceFigures& f : check.Channels)
    if (!RmsPasses(f) || !PeakPasses(f) || !BandsPass(check, f) || !SamplesPass(check, f)) return false;
  return !check.Channels.empty();
}

std::optional<TReferenceCheck> CheckReferenceFile(const std::string& path, std::string& error) {
  TPcmWavReader reader;
  if (!reader.Open(path, error)) return std::nullopt;
  TReferenceCheck check;
  check.Format = reader.Format();
  const TPcmWavFormat& format = check.Format;
  if (format.SampleRate < 1 || format.SampleRate > HighestRate) {
    error = "'" + path + "': a sample rate of " + std::to_string(format.SampleRate) + " Hz";
    return std::nullopt;
  }
  check.ReferenceExists = TReferenceNoise::SupportsRate(format.SampleRate);
  TReferenceNoise noise;
  if (check.ReferenceExists) noise.Start(format.SampleRate);
  std::array<TChannelMeasure, 2> channels;
  for (TChannelMeasure& m : channels) m.Spectrum.Reset(format.SampleRate);
  std::vector<uint8_t> block(static_cast<size_t>(format.FrameBytes()) * BlockFrames);
  std::vector<float> scaled(BlockFrames);
  while (const int32_t frames = reader.Read(block.data(), BlockFrames)) {
    Measure(check, channels, block.data(), frames, noise, scaled);
    check.Frames += frames;
  }
  Summarise(check, channels);
  return check;
}
