// Left and Right on a one-level list (a QListWidget or a QTreeWidget without children) turn a
// page: the row ui/list_paging.h names is selected and scrolled to the top of the view.
#pragma once

#include <QAbstractItemView>

namespace brevalo {

// False when the list has no rows.
bool PageListView(QAbstractItemView& view, bool forward);
// Selects `row` and scrolls it to the top of the view.
void SelectRowAtTop(QAbstractItemView& view, int row);

}  // namespace brevalo
