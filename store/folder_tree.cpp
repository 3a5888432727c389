#include "store/folder_tree.h"

#include <cassert>

namespace brevalo {

TreeNode::~TreeNode() {
  // Unlink the subtree level by level so that destroying a deep chain never recurses.
  std::vector<std::unique_ptr<TreeNode>> pending = std::move(children_);
  while (!pending.empty()) {
    std::unique_ptr<TreeNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->children_) pending.push_back(std::move(child));
    node->children_.clear();
  }
}

size_t TreeNode::Row() const {
  if (!parent_) return 0;
  const auto& siblings = parent_->children_;
  for (size_t row = 0; row < siblings.size(); ++row) {
    if (siblings[row].get() == this) return row;
  }
  assert(false && "a node is always among its parent's children");
  return 0;
}

int TreeNode::Depth() const {
  int depth = -1;
  for (const TreeNode* node = parent_; node; node = node->parent_) ++depth;
  return depth;
}

size_t FolderTree::SubtreeSize(const TreeNode& node) {
  size_t size = 0;
  std::vector<const TreeNode*> stack{&node};
  while (!stack.empty()) {
    const TreeNode* current = stack.back();
    stack.pop_back();
    ++size;
    for (const auto& child : current->children_) stack.push_back(child.get());
  }
  return size;
}

FolderTree::FolderTree() : root_(std::make_unique<TreeNode>(u"", 0, NodeData{})) {}

TreeNode& FolderTree::InsertFirstChild(TreeNode& parent, std::u16string label, int image,
                                       NodeData data) {
  return Insert(parent, 0, std::make_unique<TreeNode>(std::move(label), image, data));
}

TreeNode& FolderTree::InsertLastChild(TreeNode& parent, std::u16string label, int image,
                                      NodeData data) {
  return Insert(parent, parent.children_.size(),
                std::make_unique<TreeNode>(std::move(label), image, data));
}

TreeNode& FolderTree::Insert(TreeNode& parent, size_t row, std::unique_ptr<TreeNode> node) {
  size_t added = SubtreeSize(*node);
  if (observer_) observer_->AboutToInsert(parent, row);
  node->parent_ = &parent;
  TreeNode& inserted = *node;
  parent.children_.insert(parent.children_.begin() + static_cast<std::ptrdiff_t>(row),
                          std::move(node));
  count_ += added;
  if (observer_) observer_->Inserted(inserted);
  return inserted;
}

std::unique_ptr<TreeNode> FolderTree::Detach(TreeNode& node) {
  TreeNode& parent = *node.parent_;
  size_t row = node.Row();
  size_t removed = SubtreeSize(node);
  if (observer_) observer_->AboutToRemove(node);
  std::unique_ptr<TreeNode> detached = std::move(parent.children_[row]);
  parent.children_.erase(parent.children_.begin() + static_cast<std::ptrdiff_t>(row));
  detached->parent_ = nullptr;
  count_ -= removed;
  if (observer_) observer_->Removed(parent, row);
  return detached;
}

TreeNode& FolderTree::CopySubtree(const TreeNode& source, TreeNode& parent) {
  // The copy is built apart first, so copying a node into its own subtree copies it as it was.
  auto copy = std::make_unique<TreeNode>(source.label_, source.image_, source.data_);
  copy->bold_ = source.bold_;
  std::vector<std::pair<const TreeNode*, TreeNode*>> stack{{&source, copy.get()}};
  while (!stack.empty()) {
    auto [from, to] = stack.back();
    stack.pop_back();
    for (const auto& child : from->children_) {
      auto twin = std::make_unique<TreeNode>(child->label_, child->image_, child->data_);
      twin->bold_ = child->bold_;
      twin->parent_ = to;
      stack.emplace_back(child.get(), twin.get());
      to->children_.push_back(std::move(twin));
    }
  }
  return Insert(parent, parent.children_.size(), std::move(copy));
}

void FolderTree::ReplaceWith(FolderTree& other) {
  if (observer_) observer_->AboutToReset();
  root_ = std::move(other.root_);
  count_ = other.count_;
  other.root_ = std::make_unique<TreeNode>(u"", 0, NodeData{});
  other.count_ = 0;
  if (observer_) observer_->Reset();
}

void FolderTree::Clear() {
  FolderTree empty;
  ReplaceWith(empty);
}

void FolderTree::SetLabel(TreeNode& node, std::u16string label) {
  node.label_ = std::move(label);
  if (observer_) observer_->Changed(node);
}

void FolderTree::SetImage(TreeNode& node, int image) {
  node.image_ = image;
  if (observer_) observer_->Changed(node);
}

void FolderTree::SetBold(TreeNode& node, bool bold) {
  node.bold_ = bold;
  if (observer_) observer_->Changed(node);
}

void FolderTree::SetData(TreeNode& node, NodeData data) {
  node.data_ = data;
  if (observer_) observer_->Changed(node);
}

}  // namespace brevalo
