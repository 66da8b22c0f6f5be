// Number texts as the fields receive them: typed, pasted, from presets and
// from the settings file.

#include "engine/Numbers.h"
#include "fuzz/FuzzTargets.h"

#include <cmath>
#include <string>

namespace {

const TFieldRule& RuleFor(uint8_t selector, TFieldRule& frequency) {
  static const TFieldRule* const rules[] = {&DurationRule, &AmplitudeRule, &ModDepthRule,
                                            &ModPhaseRule, &FilterGainRule, &FilterQRule};
  constexpr int32_t rates[] = {8000, 11025, 22050, 44100, 48000, 96000, 192000};
  const size_t index = selector % 13;
  if (index < 6) return *rules[index];
  frequency = FilterFrequencyRule(rates[index - 6]);
  return frequency;
}

void CheckParse(std::string_view text, const TNumberFormat& fmt) {
  if (auto value = TryStrToFloat(text, fmt)) {
    FuzzCheck(std::isfinite(*value), "a parsed number is finite");
    FuzzCheck(TryStrToFloat(FloatToStrGeneral(*value, fmt), fmt).has_value(), "a formatted number parses again");
  }
  try {
    StrToInt(text);
  } catch (const EConvertError&) {
  }
}

}  // namespace

int FuzzNumbers(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const TNumberFormat fmt{(data[0] & 1) ? ',' : '.'};
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  CheckParse(text, fmt);
  TFieldRule frequency{};
  const TFieldRule& rule = RuleFor(static_cast<uint8_t>(data[0] >> 1), frequency);
  const std::string cleaned = Cleanup(text, rule, fmt);
  FuzzCheck(TryIntlStrToFloat(cleaned, fmt).has_value(), "every text Cleanup writes converts back");
  FuzzCheck(Cleanup(cleaned, rule, fmt) == cleaned, "Cleanup leaves its own text as it is");
  const TModPeriodExit period = ModPeriodExitText(text, fmt);
  FuzzCheck(std::isfinite(period.Value), "a modulation period is finite");
  FuzzCheck(TryStrToFloat(period.Text, fmt).has_value(), "the period's text converts back");
  return 0;
}
