// Reading a document's tree in tests: an outline to compare whole, and nodes by label.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "device/code_page.h"
#include "store/folder_tree.h"

namespace brevalo::testing {

// One line per node: indentation for depth, label, image, unread count, and "B" when bold.
inline std::vector<std::string> Outline(const FolderTree& tree) {
  std::vector<std::string> lines;
  tree.Walk([&](const TreeNode& node, int depth) {
    lines.push_back(std::string(static_cast<size_t>(depth) * 2, ' ') + ToUtf8(node.Label()) + " " +
                    std::to_string(node.Image()) + " " + std::to_string(node.Data().unread) +
                    (node.Bold() ? " B" : ""));
  });
  return lines;
}

// The first node in tree order with this label, or null.
inline TreeNode* Find(FolderTree& tree, std::u16string_view label) {
  TreeNode* found = nullptr;
  tree.Walk([&](TreeNode& node, int) {
    if (!found && node.Label() == label) found = &node;
  });
  return found;
}

}  // namespace brevalo::testing
