#include "app/qt/OwnerDrawnList.h"

#include "app/qt/ListPictures.h"

#include <QPainter>
#include <QStylePainter>

#include <algorithm>

void PaintListItem(QPainter& painter, const QRect& rect, const TCustomList& list, const TItemLayoutRule& layoutRule,
                   int row, bool selected, const QPalette& palette, const std::vector<QPixmap>& pictures) {
  painter.save();
  if (selected) painter.fillRect(rect, palette.color(QPalette::Highlight));
  const TItemRect itemRect{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
  const TItemLayout layout = layoutRule(row, itemRect, ListPictureWidth);
  if (layout.Picture >= 0 && size_t(layout.Picture) < pictures.size())
    painter.drawPixmap(layout.PictureX, layout.PictureY, pictures[size_t(layout.Picture)]);
  if (row >= 0 && row < list.Count()) {
    painter.setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect(layout.TextX, layout.TextY, rect.right() + 1 - layout.TextX, rect.bottom() + 1 - layout.TextY);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QString::fromStdString(list.Items()[size_t(row)]));
  }
  painter.restore();
}

int OwnerDrawnItemHeight(const QFontMetrics& metrics) {
  return std::max(ListPictureHeight + 4, metrics.height() + 4);
}

TOwnerDrawnDelegate::TOwnerDrawnDelegate(const TCustomList& list, TItemLayoutRule layout,
                                         const std::vector<QPixmap>& pictures, QObject* parent)
    : QStyledItemDelegate(parent), FList(list), FLayout(std::move(layout)), FPictures(pictures) {}

void TOwnerDrawnDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const bool selected = (option.state & (QStyle::State_Selected | QStyle::State_MouseOver)) != 0;
  QPalette palette = option.palette;
  if (!(option.state & QStyle::State_Enabled)) palette.setCurrentColorGroup(QPalette::Disabled);
  painter->fillRect(option.rect, palette.color(QPalette::Base));
  PaintListItem(*painter, option.rect, FList, FLayout, index.row(), selected, palette, FPictures);
}

QSize TOwnerDrawnDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QString text = QString::fromStdString(index.row() < FList.Count() ? FList.Items()[size_t(index.row())] : "");
  return {ListPictureWidth + 16 + option.fontMetrics.horizontalAdvance(text), OwnerDrawnItemHeight(option.fontMetrics)};
}

TOwnerDrawnComboBox::TOwnerDrawnComboBox(const TCustomList& list, TItemLayoutRule layout,
                                         const std::vector<QPixmap>& pictures, QWidget* parent)
    : QComboBox(parent), FList(list), FLayout(std::move(layout)), FPictures(pictures) {
  setItemDelegate(new TOwnerDrawnDelegate(list, FLayout, pictures, this));
}

QSize TOwnerDrawnComboBox::sizeHint() const {
  // Wide enough for every item where the layout rule puts its text.
  const int itemHeight = OwnerDrawnItemHeight(fontMetrics());
  int content = 0;
  for (int row = 0; row < FList.Count(); ++row) {
    const TItemLayout layout = FLayout(row, TItemRect{0, 0, 1000, itemHeight}, ListPictureWidth);
    const QString text = QString::fromStdString(FList.Items()[size_t(row)]);
    content = std::max(content, layout.TextX + fontMetrics().horizontalAdvance(text) + 4);
  }
  QStyleOptionComboBox option;
  initStyleOption(&option);
  QSize size = style()->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(content, itemHeight), this);
  size.setHeight(std::max(QComboBox::sizeHint().height(), itemHeight + 6));
  return size;
}

void TOwnerDrawnComboBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText.clear();
  option.currentIcon = QIcon();
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  const int itemHeight = OwnerDrawnItemHeight(fontMetrics());
  field.setTop(field.top() + (field.height() - itemHeight) / 2);
  field.setHeight(itemHeight);
  QPalette shown = palette();
  if (!isEnabled()) shown.setCurrentColorGroup(QPalette::Disabled);
  PaintListItem(painter, field, FList, FLayout, currentIndex(), hasFocus(), shown, FPictures);
}
