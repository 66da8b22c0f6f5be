#include "app/qt/ListPictures.h"

#include <QBitmap>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

const QColor TransparentRed(255, 0, 0);
const QColor WaveColour(0, 0, 128);
const QColor WhiteNoiseColour(72, 72, 72);
const QColor PinkNoiseColour(200, 40, 130);
const QColor EnvelopeFill(150, 170, 210);
const QColor SpeakerColour(48, 48, 48);

constexpr int Left = 1;
constexpr int Right = ListPictureWidth - 2;
constexpr int Middle = ListPictureHeight / 2;
constexpr int Swing = Middle - 2;

/// x mapped to one period, 0 at the left edge and 1 at the right edge.
double PhaseAt(int x) { return double(x - Left) / double(Right - Left); }

QPolygon Curve(const std::function<double(double)>& shape) {
  QPolygon points;
  for (int x = Left; x <= Right; ++x)
    points << QPoint(x, Middle - int(std::lround(Swing * shape(PhaseAt(x)))));
  return points;
}

double Sine(double phase) { return std::sin(2 * std::numbers::pi * phase); }
double Cosine(double phase) { return std::cos(2 * std::numbers::pi * phase); }
double Square(double phase) { return phase < 0.5 ? 1.0 : -1.0; }
double Triangle(double phase) {
  if (phase < 0.25) return 4 * phase;
  if (phase < 0.75) return 2 - 4 * phase;
  return 4 * phase - 4;
}
/// Two falling teeth across the picture.
double Sawtooth(double phase) {
  const double within = 2 * phase - std::floor(2 * phase);
  return phase >= 1.0 ? -1.0 : 1 - 2 * within;
}

/// Fixed pseudo-random values in -1..1, the same on every run.
std::vector<double> NoiseValues(int count, unsigned seed) {
  std::vector<double> values;
  for (int i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    values.push_back(double((seed >> 16) & 0x7fff) / 16383.5 - 1.0);
  }
  return values;
}

void DrawWave(QPainter& painter, const std::function<double(double)>& shape) {
  painter.setPen(WaveColour);
  painter.drawPolyline(Curve(shape));
}

void DrawWhiteNoise(QPainter& painter) {
  const std::vector<double> values = NoiseValues(Right - Left + 1, 7);
  QPolygon points;
  for (int x = Left; x <= Right; ++x) points << QPoint(x, Middle - int(std::lround(Swing * values[size_t(x - Left)])));
  painter.setPen(WhiteNoiseColour);
  painter.drawPolyline(points);
}

/// Pink noise: a slow wander with smaller fast steps on top.
void DrawPinkNoise(QPainter& painter) {
  const std::vector<double> fast = NoiseValues(Right - Left + 1, 11);
  QPolygon points;
  for (int x = Left; x <= Right; ++x) {
    const double slow = 0.6 * std::sin(2 * std::numbers::pi * 1.3 * PhaseAt(x) + 0.7);
    const double value = std::clamp(slow + 0.4 * fast[size_t(x - Left)], -1.0, 1.0);
    points << QPoint(x, Middle - int(std::lround(Swing * value)));
  }
  painter.setPen(PinkNoiseColour);
  painter.drawPolyline(points);
}

/// A modulated signal: the band between the envelope and its mirror, filled,
/// with the envelope (0..1) drawn on top.
void DrawEnvelope(QPainter& painter, const std::function<double(double)>& shape) {
  auto envelopeAt = [&](int x) { return int(std::lround(Swing * (0.5 + 0.5 * shape(PhaseAt(x))))); };
  painter.setPen(EnvelopeFill);
  for (int x = Left; x <= Right; ++x) painter.drawLine(x, Middle - envelopeAt(x), x, Middle + envelopeAt(x));
  QPolygon upper, lower;
  for (int x = Left; x <= Right; ++x) {
    upper << QPoint(x, Middle - envelopeAt(x));
    lower << QPoint(x, Middle + envelopeAt(x));
  }
  painter.setPen(WaveColour);
  painter.drawPolyline(upper);
  painter.drawPolyline(lower);
}

/// A loudspeaker whose cone opens towards facing (+1 right, -1 left) at x.
void DrawSpeaker(QPainter& painter, int x, int facing) {
  painter.setPen(SpeakerColour);
  painter.setBrush(SpeakerColour);
  painter.drawRect(x - (facing > 0 ? 0 : 2), Middle - 2, 2, 4);
  const int coneStart = x + facing * 3;
  const int coneEnd = x + facing * 7;
  painter.drawPolygon(QPolygon({QPoint(coneStart, Middle - 2), QPoint(coneEnd, Middle - 5),
                                QPoint(coneEnd, Middle + 5), QPoint(coneStart, Middle + 2)}));
  painter.setBrush(Qt::NoBrush);
  const int waveX = coneEnd + facing * 2;
  painter.drawLine(waveX, Middle - 2, waveX, Middle + 2);
  painter.drawLine(waveX + facing * 2, Middle - 4, waveX + facing * 2, Middle + 4);
}

}  // namespace

QImage DrawListPicture(int index) {
  if (index < 0 || index >= ListPictureCount) return {};
  QImage image(ListPictureWidth, ListPictureHeight, QImage::Format_RGB32);
  image.fill(TransparentRed);
  QPainter painter(&image);
  switch (index) {
  case lpSine: DrawWave(painter, Sine); break;
  case lpSquare: DrawWave(painter, Square); break;
  case lpTriangular: DrawWave(painter, Triangle); break;
  case lpSawtooth: DrawWave(painter, Sawtooth); break;
  case lpWhite: DrawWhiteNoise(painter); break;
  case lpPink: DrawPinkNoise(painter); break;
  case lpSilence: DrawWave(painter, [](double) { return 0.0; }); break;
  case lpModSine: DrawEnvelope(painter, Sine); break;
  case lpModCos: DrawEnvelope(painter, Cosine); break;
  case lpModSquare: DrawEnvelope(painter, Square); break;
  case lpModTriangle: DrawEnvelope(painter, Triangle); break;
  case lpMono: DrawSpeaker(painter, ListPictureWidth / 2 - 6, 1); break;
  case lpStereo:
    DrawSpeaker(painter, ListPictureWidth / 2 - 2, -1);
    DrawSpeaker(painter, ListPictureWidth / 2 + 1, 1);
    break;
  }
  return image;
}

QPixmap ListPicturePixmap(int index) {
  const QImage image = DrawListPicture(index);
  if (image.isNull()) return {};
  QPixmap pixmap = QPixmap::fromImage(image);
  pixmap.setMask(QBitmap::fromImage(image.createMaskFromColor(TransparentRed.rgb(), Qt::MaskInColor)));
  return pixmap;
}

std::vector<QPixmap> ListPicturePixmaps() {
  std::vector<QPixmap> pixmaps;
  for (int i = 0; i < ListPictureCount; ++i) pixmaps.push_back(ListPicturePixmap(i));
  return pixmaps;
}
