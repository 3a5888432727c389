#include "app/scrolling_row_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QItemSelectionModel>
#include <QPainter>

namespace brevalo {
namespace {

QStyle* StyleOf(const QStyleOptionViewItem& option) {
  return option.widget ? option.widget->style() : QApplication::style();
}

// The room the style leaves on each side of an item's text.
int TextMargin(const QStyleOptionViewItem& option) {
  return StyleOf(option)->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
}

QRect TextRect(const QStyleOptionViewItem& option) {
  return StyleOf(option)->subElementRect(QStyle::SE_ItemViewItemText, &option, option.widget);
}

}  // namespace

ScrollingRowDelegate::ScrollingRowDelegate(QAbstractItemView* view)
    : QStyledItemDelegate(view), view_(view) {
  view_->setItemDelegate(this);
  QObject::connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
                   [this] { scroll_.Restart(); });
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
  timer_.start(TitleScroll::kTickMs);
}

int ScrollingRowDelegate::Overflow(const QStyleOptionViewItem& option) const {
  const int width = option.fontMetrics.horizontalAdvance(option.text);
  return width - (TextRect(option).width() - 2 * TextMargin(option));
}

int ScrollingRowDelegate::CurrentOffset() const {
  const QModelIndex current = view_->currentIndex();
  if (!current.isValid()) return 0;
  QStyleOptionViewItem option;
  option.initFrom(view_);
  option.widget = view_;
  option.rect = view_->visualRect(current);
  initStyleOption(&option, current);
  return scroll_.Offset(Overflow(option));
}

void ScrollingRowDelegate::Tick() {
  scroll_.Advance(TitleScroll::kTickMs);
  const QModelIndex current = view_->currentIndex();
  // Only a row that moves is painted again.
  if (current.isValid() && view_->isVisible() && CurrentOffset() > 0) view_->update(current);
}

void ScrollingRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  QStyleOptionViewItem item(option);
  initStyleOption(&item, index);
  const bool current = index == view_->currentIndex() && (item.state & QStyle::State_Selected);
  const int overflow = current ? Overflow(item) : 0;
  if (overflow <= 0) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  const int offset = scroll_.Offset(overflow);
  // The row as the style paints it without its text, then the text moved by the offset and cut
  // to its place, unelided.
  const QString text = item.text;
  const QRect place = TextRect(item);
  item.text.clear();
  StyleOf(item)->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
  painter->save();
  painter->setClipRect(place);
  painter->setFont(item.font);
  painter->setPen(item.palette.color(QPalette::Normal, QPalette::HighlightedText));
  const int left = place.left() + TextMargin(item) - offset;
  painter->drawText(QRect(left, place.top(), place.width() + offset + 1000, place.height()),
                    Qt::AlignVCenter | Qt::AlignLeft, text);
  painter->restore();
}

}  // namespace brevalo
