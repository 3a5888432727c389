#include "filter/black_list_model.h"

namespace brevalo {

int BlackListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(engine_.BlackList().size());
}

int BlackListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant BlackListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole || index.row() >= rowCount()) return {};
  const BlackListEntry& entry = engine_.BlackList()[static_cast<size_t>(index.row())];
  return QString::fromStdU16String(index.column() == 0 ? entry.name : entry.number);
}

QVariant BlackListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return section == 0 ? QString("Name") : QString("Number");
}

int BlackListModel::Add(std::u16string_view name, std::u16string_view number) {
  if (name.empty() || number.empty()) return -1;
  const int row = rowCount();
  beginInsertRows({}, row, row);
  engine_.AddBlackListEntry(name, number);
  endInsertRows();
  return row;
}

bool BlackListModel::Remove(int row) {
  if (row < 0 || row >= rowCount()) return false;
  beginRemoveRows({}, row, row);
  engine_.RemoveBlackListEntry(static_cast<size_t>(row));
  endRemoveRows();
  return true;
}

}  // namespace brevalo
