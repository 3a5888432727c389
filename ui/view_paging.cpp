#include "ui/view_paging.h"

#include "ui/list_paging.h"

namespace brevalo {

void SelectRowAtTop(QAbstractItemView& view, int row) {
  QModelIndex index = view.model()->index(row, 0);
  if (!index.isValid()) return;
  view.setCurrentIndex(index);
  view.scrollTo(index, QAbstractItemView::PositionAtTop);
}

bool PageListView(QAbstractItemView& view, bool forward) {
  if (view.model() == nullptr) return false;
  const int rows = view.model()->rowCount();
  if (rows == 0) return false;
  QModelIndex topIndex = view.indexAt(QPoint(1, 1));
  const int top = topIndex.isValid() ? topIndex.row() : 0;
  const int rowHeight = std::max(view.sizeHintForRow(0), 1);
  const int pageRows = std::max(view.viewport()->height() / rowHeight, 1);
  const int selected = view.currentIndex().isValid() ? view.currentIndex().row() : top;
  SelectRowAtTop(view, forward ? PageDownRow(top, pageRows, rows) : PageUpRow(selected, top, pageRows));
  return true;
}

}  // namespace brevalo
