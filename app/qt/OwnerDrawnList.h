#pragma once
// Owner-drawn lists: each item is painted where the window logic's item
// layout puts its picture and text; the view adds nothing but paint.

#include "app/Controls.h"
#include "app/ListItemLayout.h"

#include <QComboBox>
#include <QPixmap>
#include <QStyledItemDelegate>

#include <functional>
#include <vector>

/// The window logic's placement of item index in rect for pictures of pictureWidth.
using TItemLayoutRule = std::function<TItemLayout(int32_t index, const TItemRect& rect, int32_t pictureWidth)>;

/// Paints item row of list into rect where layout places them: the selection
/// colour when selected, the item's picture with red transparent, its text.
void PaintListItem(QPainter& painter, const QRect& rect, const TCustomList& list, const TItemLayoutRule& layout,
                   int row, bool selected, const QPalette& palette, const std::vector<QPixmap>& pictures);

class TOwnerDrawnDelegate final : public QStyledItemDelegate {
public:
  /// list and pictures must outlive the delegate.
  TOwnerDrawnDelegate(const TCustomList& list, TItemLayoutRule layout, const std::vector<QPixmap>& pictures,
                      QObject* parent);
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
  const TCustomList& FList;
  TItemLayoutRule FLayout;
  const std::vector<QPixmap>& FPictures;
};

/// A drop-down list whose items, in the list and in the closed box, are owner-drawn.
class TOwnerDrawnComboBox final : public QComboBox {
public:
  TOwnerDrawnComboBox(const TCustomList& list, TItemLayoutRule layout, const std::vector<QPixmap>& pictures,
                      QWidget* parent = nullptr);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  const TCustomList& FList;
  TItemLayoutRule FLayout;
  const std::vector<QPixmap>& FPictures;
};

/// Height of an owner-drawn item for font: room for the picture or the text.
int OwnerDrawnItemHeight(const QFontMetrics& metrics);
