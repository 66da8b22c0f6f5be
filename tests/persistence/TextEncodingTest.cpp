#include "persistence/Cp1252.h"
#include "persistence/ShortText.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

TEST(Cp1252, NonAsciiNamesRoundTripThroughTheirCodePageBytes) {
  const std::string names[] = {"\xE2\x82\xAC", "\xC3\xA9", "\xC5\xBD", "\xE2\x80\xB0", "\xC5\xB8", "\xC3\xBF"};
  const std::string bytes[] = {"\x80", "\xE9", "\x8E", "\x89", "\x9F", "\xFF"};
  for (size_t i = 0; i < std::size(names); ++i) {
    EXPECT_EQ(Utf8ToCp1252(names[i]), bytes[i]) << i;
    EXPECT_EQ(Cp1252ToUtf8(bytes[i]), names[i]) << i;
  }
  EXPECT_EQ(Utf8ToCp1252("Pink 1k \xE2\x82\xAC"), "Pink 1k \x80");
}

TEST(Cp1252, EveryByteSurvivesDecodingAndEncoding) {
  for (int b = 0; b < 256; ++b) {
    std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(byte)), byte) << b;
  }
}

TEST(Cp1252, CharactersItLacksAndBrokenUtf8BecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("\xE6\x97\xA5\xE6\x9C\xAC"), "??");  // two CJK characters
  EXPECT_EQ(Utf8ToCp1252("a\xF0\x9F\x98\x80" "b"), "a?b");    // outside the BMP
  EXPECT_EQ(Utf8ToCp1252("\xC4\x80"), "?");                   // A with macron
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");                  // overlong '/'
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");             // a surrogate
  EXPECT_EQ(Utf8ToCp1252("x\xC3"), "x?");                     // cut-off sequence
  EXPECT_EQ(Utf8ToCp1252("\xF8\x88\x80\x80\x80"), "?????");   // no such lead byte
}

TEST(ShortText, IsCutToItsCapacityAndKeepsTheBytesAfterTheText) {
  std::array<uint8_t, 256> field{};
  WriteShortText(field, std::string(300, 'x'));
  EXPECT_EQ(field[0], 255);
  EXPECT_EQ(ReadShortText(field), std::string(255, 'x'));

  WriteShortText(field, "\xC3\xA9t\xC3\xA9");  // three characters, five UTF-8 bytes
  EXPECT_EQ(field[0], 3);
  EXPECT_EQ(field[4], 'x');
  EXPECT_EQ(ReadShortText(field), "\xC3\xA9t\xC3\xA9");
}

TEST(ShortText, ALengthByteBeyondTheCapacityReadsOnlyTheCapacity) {
  std::array<uint8_t, 21> header{};
  header.fill('A');
  header[0] = 200;
  EXPECT_EQ(ReadShortText(header), std::string(20, 'A'));
}

}  // namespace
