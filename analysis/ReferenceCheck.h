#pragma once
// Whether a WAV file holds the reference noise (engine/ReferenceNoise.h),
// channel by channel: its RMS and peak level, the flatness of its 1/3-octave
// spectrum over the whole file, and its samples against the reference
// rendered at the file's rate and width.

#include "analysis/PcmWavFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

/// What the check measures of one channel, or of all of them together.
struct TReferenceFigures {
  std::string Name;                ///< "mono", "left", "right" or "all"
  double RmsDbReSine = 0;          ///< RMS level in dB re a full-scale sine (0 dBFS RMS + 3.01 dB)
  double PeakDbFs = 0;
  double BandDeviationDb = 0;      ///< the band furthest from the mean of the bands, signed; inf when one is silent
  double BandDeviationHz = 0;      ///< that band's centre
  int64_t Differences = 0;         ///< samples unlike the reference
  int64_t LargestDifference = 0;   ///< in steps of the file's width
};

struct TReferenceCheck {
  TPcmWavFormat Format;
  int64_t Frames = 0;              ///< frames read (a file cut short holds fewer than its header says)
  bool ReferenceExists = false;    ///< the definition covers the file's rate
  std::vector<TReferenceFigures> Channels;  ///< in file order
  TReferenceFigures All;
};

/// The limits: RMS within -18.5 +- 0.2 dB re a full-scale sine; peaks at most
/// -9.5 dBFS plus 0.01 dB for the rounding of the samples; every band from
/// 31.5 Hz to 16 kHz within +-2 dB of their mean, measured over at least 10 s.
inline constexpr double RmsToleranceDb = 0.2;
inline constexpr double PeakRoundingDb = 0.01;
inline constexpr double BandToleranceDb = 2;
inline constexpr double LowestBandHz = 31.5, HighestBandHz = 16000;
inline constexpr double BandSeconds = 10;

bool RmsPasses(const TReferenceFigures& f) noexcept;
bool PeakPasses(const TReferenceFigures& f) noexcept;
/// The spectrum was measured long enough and is flat.
bool BandsPass(const TReferenceCheck& check, const TReferenceFigures& f) noexcept;
bool SamplesPass(const TReferenceCheck& check, const TReferenceFigures& f) noexcept;
/// Every figure of every channel passes.
bool Passes(const TReferenceCheck& check) noexcept;
/// The file is long enough for the band levels.
bool LongEnoughForBands(const TReferenceCheck& check) noexcept;

/// Reads and measures the file at path; nothing, with the reason in error,
/// when it cannot be read or is no 16- or 24-bit PCM WAV file.
std::optional<TReferenceCheck> CheckReferenceFile(const std::string& path, std::string& error);
