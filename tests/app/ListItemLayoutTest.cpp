#include "tests/app/GeneratorFixture.h"

namespace {

using OwnerDrawnLists = GeneratorFixture;

TEST_F(OwnerDrawnLists, PictureAndTextPositionsDependOnTheKindOfList) {
  const TItemRect r{10, 100, 200, 120};
  const TItemLayout wave = Gen->DrawItemLayout(Gen->WaveFormLeft, 1, r, 32);
  EXPECT_EQ(wave.Picture, lpPink);
  EXPECT_EQ(wave.PictureX, 12);
  EXPECT_EQ(wave.PictureY, 101);
  EXPECT_EQ(wave.TextX, 10 + 32 + 8);
  EXPECT_EQ(wave.TextY, 102);

  const TItemLayout mod = Gen->DrawItemLayout(Gen->ModFunctionRight, 0, r, 32);
  EXPECT_EQ(mod.Picture, lpModSine);
  EXPECT_EQ(mod.PictureY, 102);
  EXPECT_EQ(mod.TextY, 102);

  const TItemLayout channels = Gen->DrawItemLayout(Gen->cboChannels, 1, r, 20);
  EXPECT_EQ(channels.Picture, lpStereo);
  EXPECT_EQ(channels.PictureY, 101);
  EXPECT_EQ(channels.TextY, 101);
}

TEST_F(OwnerDrawnLists, AnItemWithoutPictureStartsItsTextAt24) {
  const TItemLayout l = Gen->DrawItemLayout(Gen->WaveFormLeft, 7, {5, 0, 50, 16}, 32);
  EXPECT_EQ(l.Picture, -1);
  EXPECT_EQ(l.TextX, 29);
}

TEST_F(OwnerDrawnLists, ListsHoldTheirItemsWithPicturesAndTheSineKeepsItsSpace) {
  EXPECT_EQ(Gen->ModFunctionLeft.Items().front(), "Sine ");
  // As created, before the settings load selects anything.
  const TfrmGenerator created(Gen->Services());
  EXPECT_EQ(created.ModFunctionLeft.Text(), "Cosine");
  EXPECT_EQ(created.WaveFormRight.Text(), "White Noise");
  EXPECT_EQ(Gen->WaveFormLeft.ItemImage(0), lpWhite);
  EXPECT_EQ(Gen->ModFunctionLeft.ItemImage(3), lpModTriangle);
  EXPECT_STREQ(ListPictureNames[lpModCos], "MODCOS");
}

}  // namespace
