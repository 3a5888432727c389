// The rows of the import list as a Qt list model over the dialog's entries, so that the view
// draws only the rows in sight however many the phone holds. Display text is the entry's two
// lines joined by a line feed; the check state is its tick.
#pragma once

#include <QAbstractListModel>

#include <vector>

#include "settings/import_entry.h"

namespace brevalo {

class ImportListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  // `rows` must outlive the model; change it only through the calls below.
  explicit ImportListModel(std::vector<ImportEntry>& rows, QObject* parent = nullptr);

  // ---- QAbstractItemModel ----
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // ---- the model's own ----
  // Every row's height: two lines of the view's font and a margin.
  void SetRowHeight(int height) { rowHeight_ = height; }
  // The entries were replaced or emptied.
  void Refill(std::vector<ImportEntry> rows);
  void Toggle(int row);
  void TickAll(bool ticked);

 private:
  std::vector<ImportEntry>& rows_;
  int rowHeight_ = 0;
};

}  // namespace brevalo
