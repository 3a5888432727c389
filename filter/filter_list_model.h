// The filter list's rows over the engine's filters, without copying them: the list asks for
// what it shows. The name is the display text and the enabled flag the check state, which is
// what the screen dump reads; the rows themselves are drawn by the dialog.
#pragma once

#include <QAbstractListModel>

#include "filter/filter_list_editor.h"

namespace brevalo {

inline constexpr int kFilterRowHeight = 20;

class FilterListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  // The editor must outlive the model.
  FilterListModel(FilterListEditor& editor, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // --- The list's edits, each told to the views --------------------------------------------
  // Returns the new row.
  int Append(std::unique_ptr<Filter> filter);
  bool Toggle(int row);
  bool Delete(int row);
  // The filter's new row, or -1 when it did not move.
  int MoveUp(int row);
  int MoveDown(int row);
  // A filter edited in place.
  void Changed(int row);

 private:
  int Moved(int from, std::optional<size_t> to);

  FilterListEditor& editor_;
};

}  // namespace brevalo
