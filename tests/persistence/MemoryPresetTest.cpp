#include "persistence/MemoryPreset.h"

#include "tests/persistence/PresetSamples.h"

#include <gtest/gtest.h>

#include <array>

namespace {

TEST(MemoryPresetLayout, FieldsTileTheRecordLeavingOnlyThePaddingBytes) {
  static_assert(sizeof(MemoryPreset) == 4140);
  std::array<int, MemoryPreset::Size> uses{};
  auto mark = [&](auto field, size_t size) {
    for (size_t i = 0; i < size; ++i) ++uses.at(static_cast<size_t>(field) + i);
  };
  for (const auto& f : kPresetTextFields) mark(f.Field, 256);
  for (const auto& f : kPresetIndexFields) mark(f.Field, 4);
  for (const auto& f : kPresetFlagFields) mark(f.Field, 1);
  for (size_t i = 0; i < uses.size(); ++i) {
    bool padding = i == 2062 || i == 2063 || (i >= 2593 && i <= 2595);
    EXPECT_EQ(uses[i], padding ? 0 : 1) << "byte " << i;
  }
}

TEST(MemoryPresetLayout, ValuesAreStoredLittleEndianAtTheirOffsets) {
  MemoryPreset p;
  p.SetIndex(TPresetIndex::FilterTypeRight, 0x01020304);
  p.SetIndex(TPresetIndex::WaveFormLeft, -1);
  p.SetFlag(TPresetFlag::AsLeft, true);
  p.SetText(TPresetText::QRight, "x");
  auto b = p.Bytes();
  EXPECT_EQ((std::array{b[3368], b[3369], b[3370], b[3371]}), (std::array<uint8_t, 4>{4, 3, 2, 1}));
  EXPECT_EQ((std::array{b[1024], b[1025], b[1026], b[1027]}), (std::array<uint8_t, 4>{255, 255, 255, 255}));
  EXPECT_EQ(b[2592], 1);
  EXPECT_EQ(b[3884], 1);
  EXPECT_EQ(b[3885], 'x');
}

TEST(MemoryPreset, AllValuesRoundTrip) {
  for (int seed : {0, 1, 2}) {
    MemoryPreset p;
    p.SetValues(DistinctPresetValues(seed));
    EXPECT_EQ(p.Values(), DistinctPresetValues(seed)) << seed;
  }
}

TEST(MemoryPreset, MonoIsOnlyExactlyOneWhileOtherFlagsAreAnyNonzeroByte) {
  MemoryPreset p;
  p.Bytes()[static_cast<size_t>(TPresetFlag::Mono)] = 2;
  p.Bytes()[static_cast<size_t>(TPresetFlag::Loop)] = 2;
  EXPECT_FALSE(p.Flag(TPresetFlag::Mono));
  EXPECT_TRUE(p.Flag(TPresetFlag::Loop));
  p.SetFlag(TPresetFlag::Mono, true);
  EXPECT_EQ(p.Bytes()[static_cast<size_t>(TPresetFlag::Mono)], 1);
  EXPECT_TRUE(p.Flag(TPresetFlag::Mono));
}

TEST(MemoryPreset, StoringAShorterTextLeavesTheOldTailInTheRecord) {
  MemoryPreset p;
  p.SetName("Memory 1");
  p.SetName("Pink");
  EXPECT_EQ(p.Name(), "Pink");
  EXPECT_EQ(p.Bytes()[5], 'r');
  EXPECT_EQ(p.Bytes()[8], '1');
}

TEST(MemoryPreset, NamesLongerThan255CharactersAreCut) {
  MemoryPreset p;
  p.SetName(std::string(254, 'a') + "\xE2\x82\xAC" "bc");
  EXPECT_EQ(p.Name(), std::string(254, 'a') + "\xE2\x82\xAC");
  EXPECT_EQ(p.Text(TPresetText::Duration), "");  // the next field is untouched
}

}  // namespace
