#include "engine/Numbers.h"

#include <gtest/gtest.h>

namespace {

const TNumberFormat Dot{'.'};
const TNumberFormat Comma{','};

TEST(StrictParser, AcceptsSignDigitsOneSeparatorAndExponent) {
  EXPECT_EQ(TryStrToFloat("1.5", Dot), 1.5L);
  EXPECT_EQ(TryStrToFloat("-2", Dot), -2.0L);
  EXPECT_EQ(TryStrToFloat("+3", Dot), 3.0L);
  EXPECT_EQ(TryStrToFloat("1e3", Dot), 1000.0L);
  EXPECT_EQ(TryStrToFloat("2.5E-1", Dot), 0.25L);
  EXPECT_EQ(TryStrToFloat("5.", Dot), 5.0L);
  EXPECT_EQ(TryStrToFloat(".5", Dot), 0.5L);
  EXPECT_EQ(TryStrToFloat("1,5", Comma), 1.5L);
}

TEST(StrictParser, IgnoresBlanksAroundTheNumberAndReadsTheUnicodeMinus) {
  EXPECT_EQ(TryStrToFloat(" -7 ", Dot), -7.0L);
  EXPECT_EQ(TryStrToFloat("\t2.5\t ", Dot), 2.5L);
  EXPECT_EQ(TryStrToFloat(" 1", Dot), 1.0L);
  EXPECT_EQ(TryStrToFloat("1 ", Dot), 1.0L);
  EXPECT_EQ(TryStrToFloat("\xE2\x88\x92" "3,5", Comma), -3.5L);
  EXPECT_EQ(TryStrToFloat(" \xE2\x88\x92" "1e2 ", Dot), -100.0L);
  EXPECT_EQ(IntlStrToFloat(" \xE2\x88\x92" "0.5", Comma), -0.5f);
  for (const char* text : {"1 000", "- 1", "\xE2\x88\x92", "\xE2\x88\x92-1", "-\xE2\x88\x92" "1", "1\xE2\x88\x92",
                           "\xE2\x88" "1", " ", "\n1", "1 e5"})
    EXPECT_FALSE(TryStrToFloat(text, Dot)) << text;
}

TEST(StrictParser, TakesEveryValueThatRoundsToAFiniteFloat) {
  EXPECT_EQ(static_cast<float>(*TryStrToFloat("3.40282346638529E38", Dot)), 3.40282346638528859811704183484516925440e38f);
  EXPECT_TRUE(TryStrToFloat("-3.4028235677e38", Dot)) << "just below half a step beyond the maximum";
  EXPECT_FALSE(TryStrToFloat("3.4028235678e38", Dot)) << "just above: rounds to infinity";
  EXPECT_EQ(TryStrToFloat("1e-50", Dot), 1e-50L) << "rounds to 0, which is finite";
}

TEST(StrictParser, RefusesEverythingElse) {
  for (const char* text : {"", "-", ".", "inf", "nan", "0x10", "1,000.5", "1.2.3", "e5",
                           "1e", "1e+", "1,5", "--1", "3.5e38", "-1e39", "1e99999"})
    EXPECT_FALSE(TryStrToFloat(text, Dot)) << text;
  EXPECT_FALSE(TryStrToFloat("1.5", Comma));
}

TEST(StrictParser, ThrowsTheOperatorsMessage) {
  try {
    StrToFloat("abc", Dot);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
  }
}

TEST(IntlParser, AcceptsCommaAndDotInEveryLocale) {
  for (const TNumberFormat& fmt : {Dot, Comma}) {
    EXPECT_EQ(IntlStrToFloat("2,5", fmt), 2.5f);
    EXPECT_EQ(IntlStrToFloat("2.5", fmt), 2.5f);
    EXPECT_FALSE(TryIntlStrToFloat("1.000,5", fmt));
  }
  EXPECT_EQ(IntlStrToFloat("0.1", Dot), 0.1f);
  EXPECT_THROW(IntlStrToFloat("1.000,5", Dot), EConvertError);
}

TEST(IntegerParser, AcceptsThe32BitRangeOnly) {
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  for (const char* text : {"", "-", "1.5", "2147483648", "99999999999999999999", " 1"})
    EXPECT_THROW(StrToInt(text), EConvertError) << text;
  try {
    StrToInt("x1");
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
  }
}

TEST(GeneralFormat, UsesFifteenDigitsTheLocaleSeparatorAndShortExponents) {
  EXPECT_EQ(FloatToStrGeneral(2.5L, Dot), "2.5");
  EXPECT_EQ(FloatToStrGeneral(2.5L, Comma), "2,5");
  EXPECT_EQ(FloatToStrGeneral(22050, Dot), "22050");
  EXPECT_EQ(FloatToStrGeneral(0.1L, Dot), "0.1");
  EXPECT_EQ(FloatToStrGeneral(0.0001L, Dot), "0.0001");
  EXPECT_EQ(FloatToStrGeneral(0.00001L, Dot), "1E-5");
  EXPECT_EQ(FloatToStrGeneral(123456789012345.0L, Dot), "123456789012345");
  EXPECT_EQ(FloatToStrGeneral(1e15L, Dot), "1E15");
  EXPECT_EQ(FloatToStrGeneral(-0.0L, Dot), "0");
}

TEST(Cleanup, RepairsDurations) {
  EXPECT_EQ(Cleanup("abc", DurationRule, Dot), "1");
  EXPECT_EQ(Cleanup("0", DurationRule, Dot), "0.1000000015");
  EXPECT_EQ(Cleanup("0.3", DurationRule, Dot), "0.3000000119");
  EXPECT_EQ(Cleanup("5", DurationRule, Dot), "5");
  EXPECT_EQ(Cleanup("2,5", DurationRule, Comma), "2,5");
}

TEST(Cleanup, ClampsAndRoundsLevelsTiesToEven) {
  EXPECT_EQ(Cleanup("5", AmplitudeRule, Dot), "0");
  EXPECT_EQ(Cleanup("-123.456", AmplitudeRule, Dot), "-100");
  EXPECT_EQ(Cleanup("-3.14159", AmplitudeRule, Dot), "-3.14");
  EXPECT_EQ(Cleanup("-12.125", AmplitudeRule, Dot), "-12.12");
  EXPECT_EQ(Cleanup("-12.375", AmplitudeRule, Dot), "-12.38");
  EXPECT_EQ(Cleanup("150", ModDepthRule, Dot), "100");
}

TEST(Cleanup, HandlesFilterFields) {
  EXPECT_EQ(Cleanup("30000", FilterFrequencyRule(44100), Dot), "22050");
  EXPECT_EQ(Cleanup("9000", FilterFrequencyRule(11025), Dot), "5512.5");
  EXPECT_EQ(Cleanup("0", FilterFrequencyRule(44100), Dot), "1");
  // The 32-bit parse shows in the last two of five decimals.
  EXPECT_EQ(Cleanup("1000.123", FilterFrequencyRule(44100), Dot), "1000.12299");
  EXPECT_EQ(Cleanup("0", FilterQRule, Dot), "0.01");
  EXPECT_EQ(Cleanup("0.7", FilterQRule, Dot), "0.7");
  EXPECT_EQ(Cleanup("abc", FilterGainRule, Dot), "0");
}

TEST(Cleanup, NeverOverflowsOnHugeValues) {
  // Scaled by 10^5 these are far beyond a 64-bit integer; they are already whole.
  EXPECT_EQ(Cleanup("3e38", FilterGainRule, Dot), FloatToStrGeneral(3e38f, Dot));
  EXPECT_EQ(Cleanup("-3e38", FilterGainRule, Dot), FloatToStrGeneral(-3e38f, Dot));
  EXPECT_EQ(Cleanup("3e38", DurationRule, Dot), FloatToStrGeneral(3e38f, Dot));
}

TEST(ModPeriodExit, RoundsToThreeDecimalsOrFallsBackToOne) {
  auto r = ModPeriodExitText("1.23456", Dot);
  EXPECT_EQ(r.Text, "1.235");
  EXPECT_EQ(r.Value, 1.23456f);
  r = ModPeriodExitText("0,5", Comma);
  EXPECT_EQ(r.Text, "0,5");
  EXPECT_EQ(r.Value, 0.5f);
  r = ModPeriodExitText("0,5", Dot);  // the period parses with the locale only
  EXPECT_EQ(r.Text, "1");
  EXPECT_EQ(r.Value, 1.0f);
}

}  // namespace
