#include "send/control_rows.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QTreeWidget>
#include <QWidget>

namespace brevalo {

void PlaceInRow(std::initializer_list<QWidget*> controls, std::initializer_list<int> stretch) {
  if (controls.size() == 0) return;
  QWidget* first = *controls.begin();
  if (!first->parentWidget()) return;
  auto* page = qobject_cast<QBoxLayout*>(first->parentWidget()->layout());
  if (!page) return;
  const int at = page->indexOf(first);
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto factor = stretch.begin();
  for (QWidget* control : controls) {
    page->removeWidget(control);
    layout->addWidget(control, factor != stretch.end() ? *factor++ : 0);
  }
  page->insertWidget(at, row);
}

QTreeWidget* NewTwoColumnList(const QStringList& headers, int secondWidth) {
  auto* list = new QTreeWidget;
  list->setColumnCount(2);
  list->setHeaderLabels(headers);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list->header()->setSectionResizeMode(1, QHeaderView::Fixed);
  list->header()->resizeSection(1, secondWidth);
  return list;
}

}  // namespace brevalo
