#include "app/folder_tree_model.h"

#include <QFont>

#include "app/tree_images.h"

namespace brevalo {

FolderTreeModel::FolderTreeModel(FolderTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {
  tree_.SetObserver(this);
}

FolderTreeModel::~FolderTreeModel() { tree_.SetObserver(nullptr); }

const TreeNode& FolderTreeModel::ParentNode(const QModelIndex& parent) const {
  if (!parent.isValid()) return tree_.Root();
  return *static_cast<const TreeNode*>(parent.internalPointer());
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column != 0) return {};
  const TreeNode& owner = ParentNode(parent);
  if (static_cast<size_t>(row) >= owner.ChildCount()) return {};
  return createIndex(row, column, owner.Child(static_cast<size_t>(row)));
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  return IndexOf(static_cast<const TreeNode*>(child.internalPointer())->Parent());
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  return static_cast<int>(ParentNode(parent).ChildCount());
}

int FolderTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const {
  if (parent.column() > 0) return false;
  return ParentNode(parent).ChildCount() > 0;
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
  const TreeNode* node = NodeAt(index);
  if (!node) return {};
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdU16String(node->Label());
    case Qt::DecorationRole:
      return TreeImage(node->Image());
    case Qt::FontRole: {
      if (!node->Bold()) return {};
      QFont bold;
      bold.setBold(true);
      return bold;
    }
    case kNodeRole:
      return QVariant::fromValue(reinterpret_cast<quintptr>(node));
    case kImageRole:
      return node->Image();
    case kUnreadRole:
      return node->Data().unread;
    case kOffsetRole:
      return node->Data().offset;
    default:
      return {};
  }
}

TreeNode* FolderTreeModel::NodeAt(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return nullptr;
  return static_cast<TreeNode*>(index.internalPointer());
}

QModelIndex FolderTreeModel::IndexOf(const TreeNode* node) const {
  if (!node || node == &tree_.Root() || !node->Parent()) return {};
  return createIndex(static_cast<int>(node->Row()), 0, const_cast<TreeNode*>(node));
}

// ---- the tree's changes ----------------------------------------------------------------------

void FolderTreeModel::AboutToInsert(TreeNode& parent, size_t row) {
  int at = static_cast<int>(row);
  beginInsertRows(IndexOf(&parent), at, at);
}

void FolderTreeModel::Inserted(TreeNode&) { endInsertRows(); }

void FolderTreeModel::AboutToRemove(TreeNode& node) {
  int at = static_cast<int>(node.Row());
  beginRemoveRows(IndexOf(node.Parent()), at, at);
}

void FolderTreeModel::Removed(TreeNode&, size_t) { endRemoveRows(); }

void FolderTreeModel::Changed(TreeNode& node) {
  QModelIndex at = IndexOf(&node);
  Q_EMIT dataChanged(at, at);
}

void FolderTreeModel::AboutToReset() { beginResetModel(); }

void FolderTreeModel::Reset() { endResetModel(); }

}  // namespace brevalo
