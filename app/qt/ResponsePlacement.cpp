#include "app/qt/ResponsePlacement.h"

#include <algorithm>
#include <array>

namespace {

constexpr int Gap = 8;

/// Moves at so that size lies on area, as far as it can.
QPoint KeptOn(QPoint at, const QSize& size, const QRect& area) {
  at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
  at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
  return at;
}

struct TSide {
  QPoint At;
  int Room;  ///< pixels to spare on the area; negative: the window does not fit there
};

}  // namespace

QPoint PlaceBeside(const QRect& beside, const QSize& size, const QRect& area) {
  const int right = beside.right() + 1 + Gap, left = beside.left() - Gap - size.width();
  const int below = beside.bottom() + 1 + Gap, above = beside.top() - Gap - size.height();
  const std::array<TSide, 4> sides{{
      {{right, beside.top()}, area.right() + 1 - right - size.width()},
      {{left, beside.top()}, left - area.left()},
      {{beside.left(), below}, area.bottom() + 1 - below - size.height()},
      {{beside.left(), above}, above - area.top()},
  }};
  const auto fits = std::find_if(sides.begin(), sides.end(), [](const TSide& s) { return s.Room >= 0; });
  const auto roomiest = std::max_element(sides.begin(), sides.end(),
                                         [](const TSide& a, const TSide& b) { return a.Room < b.Room; });
  return KeptOn((fits != sides.end() ? fits : roomiest)->At, size, area);
}
