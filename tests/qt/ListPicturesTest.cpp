#include "app/qt/ListPictures.h"

#include "tests/qt/QtApplication.h"

#include <gtest/gtest.h>

#include <QBitmap>

#include <set>

namespace {

int CountNonRed(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) != qRgb(255, 0, 0) ? 1 : 0;
  return count;
}

TEST(ListPictures, ThirteenDistinctPicturesOnTransparentRed) {
  std::set<QByteArray> seen;
  for (int i = 0; i < ListPictureCount; ++i) {
    const QImage image = DrawListPicture(i);
    ASSERT_EQ(image.size(), QSize(ListPictureWidth, ListPictureHeight)) << ListPictureNames[i];
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0)) << ListPictureNames[i];
    EXPECT_GT(CountNonRed(image), 10) << ListPictureNames[i];
    seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
  }
  EXPECT_EQ(seen.size(), size_t(ListPictureCount));
  EXPECT_TRUE(DrawListPicture(ListPictureCount).isNull());
}

TEST(ListPictures, PureRedIsTransparentInTheListPixmap) {
  TestApplication();
  const QImage drawn = DrawListPicture(lpPink);
  const QImage shown = ListPicturePixmap(lpPink).toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < drawn.height(); ++y)
    for (int x = 0; x < drawn.width(); ++x) {
      const bool red = drawn.pixel(x, y) == qRgb(255, 0, 0);
      EXPECT_EQ(qAlpha(shown.pixel(x, y)) == 0, red) << x << "," << y;
    }
}

}  // namespace
