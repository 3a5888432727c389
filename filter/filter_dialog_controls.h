// Controls the filter dialogs share: buttons and check boxes that answer a tap, and the flat
// list of whole rows over a model that the filter list and the Black List show.
#pragma once

#include <QAbstractButton>
#include <QTreeView>

#include "ui/phone_window.h"

namespace brevalo {

// A tap on a button or a check box acts as Action does on the focused one: the window gets
// BN_CLICKED.
template <typename Widget>
Widget* AddTappable(PhoneWindow& window, int id, ControlKind kind, Widget* widget) {
  window.AddControl(id, kind, widget);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    QObject::connect(button, &QAbstractButton::clicked, &window, [&window, id] { window.Command(id, BN_CLICKED); });
  }
  return widget;
}

// Rows without a tree's lines, selected whole, as high as each other and never wider than the
// list; the list does not own `model`.
inline QTreeView* NewRowList(QAbstractItemModel* model) {
  auto* list = new QTreeView;
  list->setModel(model);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return list;
}

}  // namespace brevalo
