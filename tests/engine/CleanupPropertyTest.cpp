// Whatever text a field holds, the text its validation writes back converts,
// lies within the field's range, and stays as it is when validated again.

#include "engine/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

struct TNamedRule {
  const char* Name;
  TFieldRule Rule;
};

std::vector<TNamedRule> EveryRule() {
  return {{"duration", DurationRule},           {"level", AmplitudeRule},
          {"depth", ModDepthRule},              {"phase", ModPhaseRule},
          {"gain", FilterGainRule},             {"Q", FilterQRule},
          {"F0 at 8000", FilterFrequencyRule(8000)}, {"F0 at 11025", FilterFrequencyRule(11025)},
          {"F0 at 192000", FilterFrequencyRule(192000)}};
}

std::vector<std::string> EdgeTexts() {
  return {"", " ", "abc", "-", "+", ".", ",", "e", "1e", "1e+", "--1", "1.2.3", "1.000,5", "inf", "-inf", "nan",
          "0x10", "1 000", "0", "-0", "+0", "0.0", "1e-46", "-1e-46", "1e-45", "1.17549435E-38", "3.4028234e38",
          "3.40282346638529E38", "-3.40282346638529E38", "3.4028235677e38", "3.4028235678e38", "1e39", "-1e39",
          "1e308", "99999999999999999999", "-100.005", "-99.995", "100.00000000001", "0.0099999", "0.099999999999",
          "22050.000001", "96000", "5512.49999", " -7 ", "\t5\t", "\xE2\x88\x92" "7", "\xE2\x88\x92" "3,25",
          "1,5", "1.5", ",5", "5,", "1E5", "1e-5", "123456789.123456789", "0.30000001192092896"};
}

/// A number in one of many printed forms, with either separator.
std::string RandomNumberText(std::mt19937& random) {
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-48, 40), digits(0, 17), form(0, 2), coin(0, 1);
  const double value = mantissa(random) * std::pow(10.0, exponent(random));
  char text[512];
  const char* formats[] = {"%.*g", "%.*e", "%.*f"};
  std::snprintf(text, sizeof text, formats[form(random)], digits(random), value);
  std::string s = text;
  for (char& c : s)
    if (c == '.' && coin(random)) c = ',';
  return s;
}

/// A short string of the characters numbers are made of, and a few others.
std::string RandomCharacterText(std::mt19937& random) {
  const std::string alphabet = "0123456789012345678901234567890123456789+-.,eE \txa";
  std::uniform_int_distribution<size_t> length(0, 12), pick(0, alphabet.size() - 1);
  std::string s;
  for (size_t n = length(random); n > 0; --n) s += alphabet[pick(random)];
  return s;
}

void ExpectValidatedForm(const std::string& text, const TNamedRule& named, const TNumberFormat& fmt) {
  const TFieldRule& rule = named.Rule;
  const std::string out = Cleanup(text, rule, fmt);
  const auto intl = TryIntlStrToFloat(out, fmt);
  const auto strict = TryStrToFloat(out, fmt);
  ASSERT_TRUE(intl && strict) << named.Name << ": '" << text << "' became '" << out << "'";
  const double step = std::pow(10.0, -rule.Decimals);
  EXPECT_GE(*intl, rule.Minimum - step) << named.Name << ": '" << text << "' became '" << out << "'";
  EXPECT_LE(*intl, rule.Maximum + step) << named.Name << ": '" << text << "' became '" << out << "'";
  EXPECT_EQ(Cleanup(out, rule, fmt), out) << named.Name << ": '" << text << "' became '" << out << "'";
}

TEST(CleanupProperty, EveryFieldRuleWritesTextsThatConvertBackForEdgeAndRandomTexts) {
  std::mt19937 random(20261209);
  std::vector<std::string> texts = EdgeTexts();
  for (int i = 0; i < 3000; ++i) texts.push_back(i % 3 ? RandomNumberText(random) : RandomCharacterText(random));
  for (const TNumberFormat fmt : {TNumberFormat{'.'}, TNumberFormat{','}})
    for (const TNamedRule& rule : EveryRule())
      for (const std::string& text : texts) ExpectValidatedForm(text, rule, fmt);
}

}  // namespace
