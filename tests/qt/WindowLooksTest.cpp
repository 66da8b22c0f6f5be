// What the windows show: the splash without a compositor, the Response
// window's axis labels at 100 % and 125 % text size, and where it opens.

#include "app/frmStartSplash.h"
#include "app/qt/ResponseAxes.h"
#include "app/qt/ResponsePlacement.h"
#include "app/qt/SplashWindow.h"
#include "tests/qt/QtApplication.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <cmath>

namespace {

TEST(WindowLooks, WithoutACompositorTheSplashIsWhiteWithItsTextVisible) {
  TestApplication();
  TfrmStartSplash form;
  form.SetBlended(false);
  TQtSplashWindow window(form);
  const QImage image = window.grab().toImage();
  EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
  int dark = 0;
  for (int x = 139; x < 364; ++x)
    for (int y = 0; y < 217; ++y) dark += qGray(image.pixel(x, y)) < 96 && qAlpha(image.pixel(x, y)) == 255;
  EXPECT_GT(dark, 200) << "\"Zephyra 1.3\" in black";
}

TEST(WindowLooks, ResponseAxisLabelsNeverTouchAndThe20HzBandStartsInsideThePlot) {
  TestApplication();
  for (double scale : {1.0, 1.25})
    for (QSizeF size : {QSizeF(420, 260), QSizeF(720, 420)})
      for (double topHz : {4000.0, 24000.0, 96000.0}) {
        SCOPED_TRACE(testing::Message() << scale << " " << size.width() << " " << topHz);
        QFont font = QApplication::font();
        font.setPointSizeF(font.pointSizeF() * scale);
        const TResponseAxes axes(size, QFontMetricsF(font), topHz);
        const std::vector<TAxisLabel> labels = axes.Labels();
        QStringList texts;
        for (size_t i = 0; i < labels.size(); texts << labels[i++].Text) {
          EXPECT_TRUE(QRectF(QPointF(), size).contains(labels[i].Rect)) << labels[i].Text.toStdString();
          for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(labels[i].Rect.intersects(labels[j].Rect)) << texts[j].toStdString() << labels[i].Text.toStdString();
        }
        EXPECT_TRUE(texts.contains("0") && texts.contains("1k") && texts.contains("-80")) << texts.join(' ').toStdString();
        EXPECT_GE(axes.X(20 / std::pow(2.0, 1.0 / 6)), axes.Plot().left() - 0.5);
      }
}

TEST(WindowLooks, TheResponseWindowOpensBesideTheMainWindowOnTheScreen) {
  const QRect screen(0, 0, 1920, 1080);
  const QSize preferred(730, 450), minimum(430, 290);
  // Room to the right, only to the left, below, above; centred: smaller; nowhere: over a little.
  const struct {
    QRect main;
    bool whole, overlaps;
  } cases[] = {{{300, 300, 700, 500}, true, false}, {{1100, 300, 700, 500}, true, false},
               {{300, 0, 1400, 560}, true, false},  {{300, 500, 1400, 580}, true, false},
               {{550, 268, 820, 543}, false, false}, {{100, 100, 1700, 900}, false, true}};
  for (const auto& c : cases) {
    const QRect placed = PlaceBeside(c.main, preferred, minimum, screen);
    SCOPED_TRACE(testing::Message() << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height());
    EXPECT_TRUE(screen.contains(placed));
    EXPECT_EQ(placed.intersects(c.main), c.overlaps);
    EXPECT_EQ(placed.size() == preferred, c.whole);
    EXPECT_TRUE(placed.width() >= minimum.width() && placed.height() >= minimum.height());
  }
}

}  // namespace
