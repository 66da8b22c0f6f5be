#pragma once

#include "engine/NumberFormat.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

/// A text that does not convert; what() is the text shown to the operator.
class EConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

/// Strict parse: optional sign ("+", "-" or the minus sign U+2212), digits
/// with at most one `fmt` separator, optional exponent; blanks (spaces, tabs)
/// around the number are ignored. No inner blanks, "inf", "nan" or hex;
/// nullopt also for a value that rounds to no finite 32-bit float.
std::optional<long double> TryStrToFloat(std::string_view text, const TNumberFormat& fmt);

/// As TryStrToFloat; throws EConvertError("'<text>' is not a valid floating point value").
long double StrToFloat(std::string_view text, const TNumberFormat& fmt);

/// Accepts "," and "." alike as the decimal separator; the value rounded to 32 bits.
std::optional<float> TryIntlStrToFloat(std::string_view text, const TNumberFormat& fmt);

/// As TryIntlStrToFloat; throws EConvertError on a text that does not convert.
float IntlStrToFloat(std::string_view text, const TNumberFormat& fmt);

/// Optional sign and decimal digits within the 32-bit range; throws
/// EConvertError("'<text>' is not a valid integer value") otherwise.
int32_t StrToInt(std::string_view text);

/// General format: at most 15 significant digits, no trailing zeros, an
/// exponent ("1E-5", "1E15") only for very small or large magnitudes.
std::string FloatToStrGeneral(long double value, const TNumberFormat& fmt);

/// Round(value x 10^decimals) / 10^decimals, ties to even; a value whose
/// scaled magnitude is 2^53 or more is already whole and is returned as is.
long double RoundToDecimals(long double value, int decimals) noexcept;

/// Validation of a numeric field on exit: parse (or take `def`), clamp to
/// maximum / minimum (anything not >= minimum becomes minimum), round to
/// `decimals`, format in the general format.
std::string Cleanup(std::string_view text, float def, int decimals, float maximum, float minimum,
                    const TNumberFormat& fmt);

/// Arguments of Cleanup for one kind of field.
struct TFieldRule {
  float Default;
  int Decimals;
  float Maximum;
  float Minimum;
};

/// Cleanup with the arguments of `rule`.
std::string Cleanup(std::string_view text, const TFieldRule& rule, const TNumberFormat& fmt);

extern const TFieldRule DurationRule;
extern const TFieldRule AmplitudeRule;
extern const TFieldRule ModDepthRule;
extern const TFieldRule ModPhaseRule;
extern const TFieldRule FilterGainRule;
extern const TFieldRule FilterQRule;
/// Frequency rule at `sampleRate`: maximum = sampleRate / 2 as a 32-bit float.
TFieldRule FilterFrequencyRule(int32_t sampleRate);

/// What leaving a modulation period field produces.
struct TModPeriodExit {
  std::string Text;
  float Value;
};

/// The period field's exit rule: the value parsed with `fmt` becomes the
/// period and the text shows it rounded to 3 decimals; "1" and 1 when the
/// text does not parse.
TModPeriodExit ModPeriodExitText(std::string_view text, const TNumberFormat& fmt);
