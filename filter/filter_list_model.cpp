#include "filter/filter_list_model.h"

#include <QSize>
#include <QString>

namespace brevalo {

FilterListModel::FilterListModel(FilterListEditor& editor, QObject* parent)
    : QAbstractListModel(parent), editor_(editor) {}

int FilterListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(editor_.Count());
}

QVariant FilterListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0) return {};
  const Filter* filter = editor_.At(static_cast<size_t>(index.row()));
  if (!filter) return {};
  switch (role) {
    case Qt::DisplayRole: return QString::fromStdU16String(filter->name);
    case Qt::CheckStateRole: return filter->enabled ? Qt::Checked : Qt::Unchecked;
    case Qt::SizeHintRole: return QSize(0, kFilterRowHeight);
    default: return {};
  }
}

int FilterListModel::Append(std::unique_ptr<Filter> filter) {
  const int row = rowCount();
  beginInsertRows({}, row, row);
  editor_.Append(std::move(filter));
  endInsertRows();
  return row;
}

bool FilterListModel::Toggle(int row) {
  if (row < 0 || !editor_.Toggle(static_cast<size_t>(row))) return false;
  Changed(row);
  return true;
}

bool FilterListModel::Delete(int row) {
  if (row < 0 || row >= rowCount()) return false;
  beginRemoveRows({}, row, row);
  editor_.Delete(static_cast<size_t>(row));
  endRemoveRows();
  return true;
}

int FilterListModel::MoveUp(int row) {
  if (row <= 0 || row >= rowCount()) return -1;
  return Moved(row, editor_.MoveUp(static_cast<size_t>(row)));
}

int FilterListModel::MoveDown(int row) {
  if (row < 0 || row + 1 >= rowCount()) return -1;
  return Moved(row, editor_.MoveDown(static_cast<size_t>(row)));
}

int FilterListModel::Moved(int from, std::optional<size_t> to) {
  if (!to) return -1;
  const int other = static_cast<int>(*to);
  // Two neighbours changed places: both rows show other filters now.
  Q_EMIT dataChanged(index(std::min(from, other)), index(std::max(from, other)));
  return other;
}

void FilterListModel::Changed(int row) { Q_EMIT dataChanged(index(row), index(row)); }

}  // namespace brevalo
