// Laying out a window's controls side by side: the page stacks them one below the other, and a
// form such as "To:" beside the recipients wants them in one row.
#pragma once

#include <initializer_list>

#include <QStringList>

class QTreeWidget;
class QWidget;

namespace brevalo {

// Moves `controls` (already added to one window's page, in this order) into one row where the
// first of them stood; `stretch` gives each its share of the row's width (missing ones: 0).
void PlaceInRow(std::initializer_list<QWidget*> controls, std::initializer_list<int> stretch);

// A list of rows with two columns and full-row selection: the first column takes the width the
// second, of `secondWidth` pixels, leaves.
QTreeWidget* NewTwoColumnList(const QStringList& headers, int secondWidth);

}  // namespace brevalo
