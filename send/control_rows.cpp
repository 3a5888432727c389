#include "send/control_rows.h"

#include <QBoxLayout>
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

}  // namespace brevalo
