#include "app/import_list_model.h"

#include <QSize>

namespace brevalo {

ImportListModel::ImportListModel(std::vector<ImportEntry>& rows, QObject* parent)
    : QAbstractListModel(parent), rows_(rows) {}

int ImportListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(rows_.size());
}

QVariant ImportListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const ImportEntry& entry = rows_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdU16String(entry.lineOne + u"\n" + entry.lineTwo);
    case Qt::CheckStateRole:
      return entry.ticked ? Qt::Checked : Qt::Unchecked;
    case Qt::SizeHintRole:
      return rowHeight_ > 0 ? QVariant(QSize(0, rowHeight_)) : QVariant();
    default:
      return {};
  }
}

void ImportListModel::Refill(std::vector<ImportEntry> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

void ImportListModel::Toggle(int row) {
  if (row < 0 || row >= rowCount()) return;
  rows_[static_cast<size_t>(row)].ticked = !rows_[static_cast<size_t>(row)].ticked;
  QModelIndex changed = index(row);
  Q_EMIT dataChanged(changed, changed, {Qt::CheckStateRole});
}

void ImportListModel::TickAll(bool ticked) {
  for (ImportEntry& entry : rows_) entry.ticked = ticked;
  if (!rows_.empty()) Q_EMIT dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
}

}  // namespace brevalo
