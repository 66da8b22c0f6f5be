#include "app/qt/ResponsePlacement.h"

#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <cstdint>
#include <tuple>

namespace {

constexpr int Gap = 8;
enum TSide { Right, Left, Below, Above };

bool Holds(const QRect& free, const QSize& size) {
  return free.width() >= size.width() && free.height() >= size.height();
}

/// The side and the size the window takes there.
std::pair<int, QSize> Choose(const std::array<QRect, 4>& free, const QSize& preferred, const QSize& minimum) {
  for (int side = Right; side <= Above; ++side)
    if (Holds(free[side], preferred)) return {side, preferred};
  const auto area = [](const QSize& s) { return int64_t{s.width()} * s.height(); };
  int best = -1;
  for (int side = Right; side <= Above; ++side) {
    const QSize fit = preferred.boundedTo(free[side].size());
    if (Holds(free[side], minimum) && (best < 0 || area(fit) > area(preferred.boundedTo(free[best].size())))) best = side;
  }
  if (best >= 0) return {best, preferred.boundedTo(free[best].size())};
  const auto lack = [&](int side) {
    return std::min(free[side].width() - minimum.width(), free[side].height() - minimum.height());
  };
  best = Right;
  for (int side = Left; side <= Above; ++side)
    if (lack(side) > lack(best)) best = side;
  return {best, minimum};
}

/// Moves at so that size lies on area, as far as it can.
QPoint KeptOn(QPoint at, const QSize& size, const QRect& area) {
  at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
  at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
  return at;
}

}  // namespace

QRect PlaceBeside(const QRect& beside, const QSize& preferred, const QSize& minimum, const QRect& area) {
  const std::array<QRect, 4> free{
      QRect(QPoint(beside.right() + 1 + Gap, area.top()), area.bottomRight()),
      QRect(area.topLeft(), QPoint(beside.left() - 1 - Gap, area.bottom())),
      QRect(QPoint(area.left(), beside.bottom() + 1 + Gap), area.bottomRight()),
      QRect(area.topLeft(), QPoint(area.right(), beside.top() - 1 - Gap)),
  };
  const auto [side, size] = Choose(free, preferred, minimum);
  const QRect& room = free[side];
  const QPoint at = side == Right ? QPoint(room.left(), beside.top())
                    : side == Left ? QPoint(room.right() + 1 - size.width(), beside.top())
                    : side == Below ? QPoint(beside.left(), room.top())
                                    : QPoint(beside.left(), room.bottom() + 1 - size.height());
  return QRect(KeptOn(at, size, area), size);
}

QRect PlaceCentred(const QSize& preferred, const QRect& area) {
  const QSize size = preferred.boundedTo(area.size());
  return QRect(area.topLeft() + QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size);
}

QRect KeptOnArea(const QRect& frame, const QRect& area) { return QRect(KeptOn(frame.topLeft(), frame.size(), area), frame.size()); }

TPlacedPair PlaceBesideMovingMain(const QRect& main, const QSize& preferred, const QSize& minimum, const QRect& area) {
  const QRect onArea = KeptOnArea(main, area);
  const int xs[] = {onArea.x(), area.left(), area.right() + 1 - main.width()};
  const int ys[] = {onArea.y(), area.top(), area.bottom() + 1 - main.height()};
  TPlacedPair best{};
  std::tuple<int64_t, int64_t, int> bestRank{};
  bool first = true;
  for (int x : xs)
    for (int y : ys) {
      const QRect moved = KeptOnArea(QRect(QPoint(x, y), main.size()), area);
      const QRect placed = PlaceBeside(moved, preferred, minimum, area);
      // Lower ranks first: the least of the main window covered, the largest
      // window, the shortest move.
      const QRect covered = placed.intersected(moved);
      const std::tuple<int64_t, int64_t, int> rank{int64_t{covered.width()} * covered.height(),
                                                   -int64_t{placed.width()} * placed.height(),
                                                   (moved.topLeft() - onArea.topLeft()).manhattanLength()};
      if (first || rank < bestRank) {
        best = {moved, placed};
        bestRank = rank;
        first = false;
      }
    }
  return best;
}

bool ProgramPlacesWindows(std::string_view platformName) { return platformName.substr(0, 7) != "wayland"; }

bool ProgramPlacesWindows() { return ProgramPlacesWindows(QGuiApplication::platformName().toStdString()); }
