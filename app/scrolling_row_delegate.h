// Paints the rows of the folder tree as the style does, except the current row's text: when it
// is wider than its place (a "Contact Time" title on a 240-pixel screen), it scrolls sideways so
// that the whole title can be read. The titles themselves stay as they are.
#pragma once

#include <QStyledItemDelegate>
#include <QTimer>

#include "ui/title_scroll.h"

class QAbstractItemView;

namespace brevalo {

class ScrollingRowDelegate : public QStyledItemDelegate {
 public:
  // Installs itself on `view`, which owns it.
  explicit ScrollingRowDelegate(QAbstractItemView* view);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

  // How far the current row's text is moved now; 0 when it fits.
  int CurrentOffset() const;

 private:
  // The pixels by which the item's text is wider than its place.
  int Overflow(const QStyleOptionViewItem& option) const;
  void Tick();

  QAbstractItemView* view_;
  TitleScroll scroll_;
  QTimer timer_;
};

}  // namespace brevalo
