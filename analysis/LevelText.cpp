#include "analysis/LevelText.h"

#include <charconv>
#include <cmath>
#include <limits>

double DbFs(double magnitude, double fullScale) noexcept {
  if (!(magnitude > 0) || !(fullScale > 0)) return -std::numeric_limits<double>::infinity();
  return 20 * std::log10(magnitude / fullScale);
}

TLevels LevelsOf(const TLevelSums& sums, double fullScale) noexcept {
  const double rms = sums.frames > 0 ? std::sqrt(sums.sumSquares / static_cast<double>(sums.frames)) : 0;
  const double peak = static_cast<double>(sums.peak);
  return {DbFs(rms, fullScale), DbFs(peak, fullScale), rms > 0 ? peak / rms : 0};
}

namespace {

std::string TwoDecimals(double v) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 2);
  const std::string shown(text, result.ptr);
  return shown == "-0.00" ? "0.00" : shown;  // a level just below 0 dBFS rounds to 0, without a sign
}

}  // namespace

std::string DbText(double db) { return std::isfinite(db) ? TwoDecimals(db) : db < 0 ? "-inf" : "+inf"; }

std::string CrestText(double crest) { return crest > 0 && std::isfinite(crest) ? TwoDecimals(crest) : "-"; }

std::string CrestRatioText(double crest) {
  const std::string text = CrestText(crest);
  return text == "-" ? text : text + ":1";
}
