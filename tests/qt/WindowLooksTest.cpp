// What the windows show: the splash without a compositor, the Response
// window's axis labels at 100 % and 125 % text size, and where it opens.

#include "app/frmStartSplash.h"
#include "app/qt/ResponseAxes.h"
#include "app/qt/ResponsePlacement.h"
#include "app/qt/SplashWindow.h"
#include "analysis/SignalAnalysis.h"
#include "tests/qt/GeneratorWindowFixture.h"
#include "tests/qt/QtApplication.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
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

using WindowPlaces = QtGeneratorWindowTest;

TEST_F(WindowPlaces, ResponseBesideTheCentredMainWindowWholeOnTheScreenWithItsCaptionWholeAndCrestReadable) {
  const QSize preferred(720, 420), minimum(420, 260), frame(2, 30);
  // 1280x1024 at 125 % is 1024x819 in the program's pixels (QT_SCALE_FACTOR=1.25),
  // or 1280x1024 with text a quarter larger.
  // Where the screen has no room for both, the Response window covers at most
  // a tenth of the main window (its lowest part), not its middle.
  const struct {
    QSize screen;
    double text;
    bool apart, whole;
  } cases[] = {{{1280, 1024}, 1.0, true, false}, {{1024, 819}, 1.0, false, false}, {{1280, 1024}, 1.25, true, false},
               {{1920, 1080}, 1.0, true, true}, {{1600, 900}, 1.0, true, true}};
  const QFont normal = QApplication::font();
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.screen.width() << "x" << c.screen.height() << " text " << c.text);
    QFont font = normal;
    font.setPointSizeF(normal.pointSizeF() * c.text);
    QApplication::setFont(font);
    Window->adjustSize();
    QCoreApplication::processEvents();
    const QRect area(QPoint(0, 0), c.screen);
    const QRect main = PlaceCentred(Window->size() + frame, area);
    const TPlacedPair pair = PlaceBesideMovingMain(main, preferred + frame, minimum + frame, area);
    SCOPED_TRACE(testing::Message() << "main " << main.width() << "x" << main.height() << " at " << pair.Main.x() << ","
                                    << pair.Main.y() << "; response " << pair.Placed.width() << "x" << pair.Placed.height()
                                    << " at " << pair.Placed.x() << "," << pair.Placed.y());
    EXPECT_TRUE(area.contains(pair.Placed)) << "the Response window stays on the screen";
    EXPECT_TRUE(area.contains(pair.Main)) << "so does the main window";
    EXPECT_EQ(!pair.Placed.intersects(pair.Main), c.apart) << "covers none of the main window's controls";
    const QRect covered = pair.Placed.intersected(pair.Main);
    EXPECT_LE(covered.width() * covered.height() * 10, main.width() * main.height());
    EXPECT_EQ(pair.Placed.size() == preferred + frame, c.whole);
    if (c.apart && pair.Main.topLeft() != main.topLeft()) {
      EXPECT_TRUE(PlaceBeside(main, preferred + frame, minimum + frame, area).size() != preferred + frame)
          << "the main window moves only where the Response window would not fit beside it";
    }

    for (const QSize size : {pair.Placed.size() - frame, minimum}) {
      const TResponseAxes axes(size, QFontMetricsF(font), 24000);
      QStringList caption;
      for (const TAxisLabel& label : axes.Labels())
        if (label.Rect.top() > axes.Plot().bottom() + 1 && label.Rect.width() == axes.Plot().width())
          caption << label.Text;
      EXPECT_TRUE(caption.join(' ').endsWith("measured 1/3-octave bands in dBFS)")) << caption.join('|').toStdString()
                                                                                    << " at " << size.width();
    }

    auto* reference = Window->findChild<QDialog*>("frmReferenceNoise");
    ASSERT_NE(reference, nullptr);
    reference->show();
    QCoreApplication::processEvents();
    for (const char* name : {"lblLevelL", "lblLevelR"})
      for (const QWidget* widget : {static_cast<QWidget*>(reference), static_cast<QWidget*>(Window.get())}) {
        const QWidget* readout = widget->findChild<QWidget*>(name);
        ASSERT_NE(readout, nullptr) << name;
        EXPECT_GE(readout->width(), readout->fontMetrics().horizontalAdvance(
                                        QString::fromStdString(TSignalAnalysis::WidestReadoutText())))
            << name << " in " << widget->objectName().toStdString() << " shows \"Crest\" and its figure whole";
      }
    reference->hide();
  }
  QApplication::setFont(normal);
}

TEST(WindowLooks, OnWaylandTheCompositorPlacesTheWindows) {
  for (const char* name : {"xcb", "offscreen", "minimal"}) EXPECT_TRUE(ProgramPlacesWindows(name)) << name;
  for (const char* name : {"wayland", "wayland-egl"}) EXPECT_FALSE(ProgramPlacesWindows(name)) << name;
}

}  // namespace
