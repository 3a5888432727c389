// The folder tree of the open document as a Qt item model, for the main window's tree view. It
// holds no nodes of its own: every index points at a TreeNode, and the tree's observer brackets
// each change of the tree with the model's begin/end notices.
#pragma once

#include <QAbstractItemModel>

#include "store/folder_tree.h"

namespace brevalo {

class FolderTreeModel : public QAbstractItemModel, private TreeObserver {
  Q_OBJECT

 public:
  enum Role {
    kNodeRole = Qt::UserRole + 1,  // the TreeNode*, as a quintptr
    kImageRole,                    // the image index (0..6)
    kUnreadRole,                   // unread messages in the node's subtree
    kOffsetRole,                   // the record offset
  };

  // Observes `tree` until destroyed; the tree must outlive the model.
  explicit FolderTreeModel(FolderTree& tree, QObject* parent = nullptr);
  ~FolderTreeModel() override;

  // ---- QAbstractItemModel ----
  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;

  // ---- the model's own ----
  // Null for an invalid index.
  TreeNode* NodeAt(const QModelIndex& index) const;
  // Invalid for null and for the tree's root.
  QModelIndex IndexOf(const TreeNode* node) const;

 private:
  void AboutToInsert(TreeNode& parent, size_t row) override;
  void Inserted(TreeNode& node) override;
  void AboutToRemove(TreeNode& node) override;
  void Removed(TreeNode& parent, size_t row) override;
  void Changed(TreeNode& node) override;
  void AboutToReset() override;
  void Reset() override;

  const TreeNode& ParentNode(const QModelIndex& parent) const;

  FolderTree& tree_;
};

}  // namespace brevalo
