// The folder tree of an open document as a plain model: the store builds it from the index and
// writes the index from it; the main window shows it through an adapter that follows the
// observer. Walks and destruction are iterative, so a tree of any depth read from a damaged file
// cannot exhaust the stack.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace brevalo {

// The value attached to every node; only the offset is stored in the file.
struct NodeData {
  uint32_t offset = 0;  // of the node's StoreRecord; 0 for the recycle bin
  uint16_t unread = 0;  // unread messages in the node's subtree
  uint16_t unlock = 0;  // set while a protected node is unlocked; 0 when the file is read
  bool operator==(const NodeData&) const = default;
};

class TreeNode {
 public:
  TreeNode(std::u16string label, int image, NodeData data)
      : label_(std::move(label)), image_(image), data_(data) {}
  ~TreeNode();
  TreeNode(const TreeNode&) = delete;
  TreeNode& operator=(const TreeNode&) = delete;

  const std::u16string& Label() const { return label_; }
  int Image() const { return image_; }
  bool Bold() const { return bold_; }
  const NodeData& Data() const { return data_; }
  // Null for the tree's invisible root.
  TreeNode* Parent() const { return parent_; }
  size_t ChildCount() const { return children_.size(); }
  TreeNode* Child(size_t row) const { return children_[row].get(); }
  // The node's row among its parent's children (linear in the number of siblings).
  size_t Row() const;
  // Depth below the invisible root: 0 for top-level nodes.
  int Depth() const;

 private:
  friend class FolderTree;
  std::u16string label_;
  int image_;
  bool bold_ = false;
  NodeData data_;
  TreeNode* parent_ = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children_;
};

// Told of every structural change, before and after, so that an item model can bracket it.
class TreeObserver {
 public:
  virtual ~TreeObserver() = default;
  virtual void AboutToInsert(TreeNode& /*parent*/, size_t /*row*/) {}
  virtual void Inserted(TreeNode& /*node*/) {}
  virtual void AboutToRemove(TreeNode& /*node*/) {}
  virtual void Removed(TreeNode& /*parent*/, size_t /*row*/) {}
  virtual void Changed(TreeNode& /*node*/) {}
  virtual void AboutToReset() {}
  virtual void Reset() {}
};

class FolderTree {
 public:
  FolderTree();
  FolderTree(const FolderTree&) = delete;
  FolderTree& operator=(const FolderTree&) = delete;

  // The invisible root; its children are the top-level nodes.
  TreeNode& Root() { return *root_; }
  const TreeNode& Root() const { return *root_; }
  bool Empty() const { return root_->children_.empty(); }
  // Every node but the root; kept up to date by every change.
  size_t Count() const { return count_; }

  // One observer at a time (nullptr to detach); it must outlive the tree or be detached.
  void SetObserver(TreeObserver* observer) { observer_ = observer; }

  TreeNode& InsertFirstChild(TreeNode& parent, std::u16string label, int image, NodeData data);
  TreeNode& InsertLastChild(TreeNode& parent, std::u16string label, int image, NodeData data);
  // Removes `node` (not the root) with its subtree; `onDelete` sees every removed node,
  // children before their parent, while they still exist.
  template <typename OnDelete>
  void Remove(TreeNode& node, OnDelete&& onDelete);
  void Remove(TreeNode& node) {
    Remove(node, [](TreeNode&) {});
  }
  // Copies `source` with its subtree as the last child of `parent` (which may lie inside the
  // source); the copies carry the same NodeData, so they share the records.
  TreeNode& CopySubtree(const TreeNode& source, TreeNode& parent);
  // Takes over every node of `other` (left empty) in place of this tree's nodes.
  void ReplaceWith(FolderTree& other);
  void Clear();

  void SetLabel(TreeNode& node, std::u16string label);
  void SetImage(TreeNode& node, int image);
  void SetBold(TreeNode& node, bool bold);
  void SetData(TreeNode& node, NodeData data);

  // Calls visit(node, depth) for every node in pre-order (a node, then its children in order).
  template <typename Visit>
  void Walk(Visit&& visit) const;
  template <typename Visit>
  void Walk(Visit&& visit) {
    // The tree owns its nodes as mutable; the const walk only fixes the order.
    std::as_const(*this).Walk(
        [&](const TreeNode& node, int depth) { visit(const_cast<TreeNode&>(node), depth); });
  }

 private:
  TreeNode& Insert(TreeNode& parent, size_t row, std::unique_ptr<TreeNode> node);
  std::unique_ptr<TreeNode> Detach(TreeNode& node);
  static size_t SubtreeSize(const TreeNode& node);

  std::unique_ptr<TreeNode> root_;
  size_t count_ = 0;
  TreeObserver* observer_ = nullptr;
};

template <typename Visit>
void FolderTree::Walk(Visit&& visit) const {
  // (parent, next child row) pairs; depth is the stack size.
  std::vector<std::pair<const TreeNode*, size_t>> stack;
  stack.emplace_back(root_.get(), 0);
  while (!stack.empty()) {
    auto& [parent, row] = stack.back();
    if (row == parent->children_.size()) {
      stack.pop_back();
      continue;
    }
    const TreeNode* node = parent->children_[row++].get();
    visit(*node, static_cast<int>(stack.size() - 1));
    if (!node->children_.empty()) stack.emplace_back(node, 0);
  }
}

template <typename OnDelete>
void FolderTree::Remove(TreeNode& node, OnDelete&& onDelete) {
  if (&node == root_.get()) return;
  // Post-order without recursion: children reported before their parent.
  std::vector<std::pair<TreeNode*, size_t>> stack;
  stack.emplace_back(&node, 0);
  while (!stack.empty()) {
    auto& [current, row] = stack.back();
    if (row < current->children_.size()) {
      TreeNode* child = current->children_[row++].get();
      stack.emplace_back(child, 0);
      continue;
    }
    onDelete(*current);
    stack.pop_back();
  }
  std::unique_ptr<TreeNode> gone = Detach(node);
}

}  // namespace brevalo
