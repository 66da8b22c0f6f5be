#pragma once
// Level figures and the texts they are shown as, the same for the meter and
// for the figures of a rendered file.

#include "analysis/PcmSamples.h"

#include <string>

/// RMS and peak in dBFS (full scale = the largest sample value; a full-scale
/// square wave is 0 dBFS RMS) and the crest factor peak / RMS. Silence has
/// -inf dBFS and a crest factor of 0 (none).
struct TLevels {
  double rmsDb;
  double peakDb;
  double crest;
};

TLevels LevelsOf(const TLevelSums& sums, double fullScale) noexcept;

/// 20 log10(magnitude / fullScale); -inf for 0.
double DbFs(double magnitude, double fullScale) noexcept;

/// Two decimals ("-12.04"), "-inf" for silence.
std::string DbText(double db);
/// Two decimals ("4.00"), "-" when there is no crest factor.
std::string CrestText(double crest);
/// "N.NN:1", or "-" when there is no crest factor.
std::string CrestRatioText(double crest);
