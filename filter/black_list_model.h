// The Black List dialog's rows over the engine's black list: the name and the number in two
// columns, headed "Name" and "Number".
#pragma once

#include <QAbstractTableModel>

#include "filter/filter_engine.h"

namespace brevalo {

class BlackListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The engine must outlive the model.
  BlackListModel(FilterEngine& engine, QObject* parent) : QAbstractTableModel(parent), engine_(engine) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Appends an entry; its row, or -1 when the engine refused it (a field was empty).
  int Add(std::u16string_view name, std::u16string_view number);
  bool Remove(int row);

 private:
  FilterEngine& engine_;
};

}  // namespace brevalo
