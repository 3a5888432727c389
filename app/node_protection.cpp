#include "app/node_protection.h"

#include <algorithm>

namespace brevalo {

bool NodeProtection::StampLetsIn(int32_t level, uint16_t stamp) const {
  if (stamp == kUnlockNever) return false;
  switch (level) {
    case kProtectOnlyOnce: return true;
    case kProtectAfterMinimize: return stamp == StampNow();
    default: return false;
  }
}

bool NodeProtection::MayOpen(TreeNode& node, int32_t level, const PasswordAsk& ask) {
  if (&node == document_.RecycleBin()) return true;
  std::optional<std::u16string> password = NodePassword(node);
  if (!password || password->empty()) return true;
  if (StampLetsIn(level, node.Data().unlock)) return true;
  if (!ask || !ask(*password)) return false;
  Stamp(node, StampNow());
  return true;
}

std::optional<std::u16string> NodeProtection::NodePassword(const TreeNode& node) {
  MessageStore& store = document_.Store();
  if (!store.ReadRecord(node.Data().offset)) return std::nullopt;
  return store.RecordPassword();
}

bool NodeProtection::SetNodePassword(TreeNode& node, std::u16string_view password, bool stamp) {
  MessageStore& store = document_.Store();
  const uint32_t offset = node.Data().offset;
  if (!store.ReadRecord(offset)) return false;
  store.SetRecordPassword(password);
  if (store.RewriteRecord(offset) == 0) return false;
  if (stamp) Stamp(node, password.empty() ? kUnlockNever : kUnlockJustSet);
  return true;
}

std::vector<const TreeNode*> NodeProtection::Hide(int32_t level) {
  std::vector<const TreeNode*> collapse;
  if (level > kProtectOnlyOnce) {
    document_.Tree().Walk([&](const TreeNode& node, int) {
      if (node.ChildCount() > 0 && node.Data().unlock != kUnlockNever) collapse.push_back(&node);
    });
    // The walk meets parents first; collapsing goes from the deepest up.
    std::reverse(collapse.begin(), collapse.end());
  }
  ++hideCount_;
  return collapse;
}

void NodeProtection::Stamp(TreeNode& node, uint16_t stamp) {
  NodeData data = node.Data();
  data.unlock = stamp;
  document_.Tree().SetData(node, data);
}

bool ShowAgainAsks(const ShowAgainFacts& facts) {
  return facts.documentOpen && !facts.passwordDialogOpen && facts.documentHasPassword &&
         facts.askedByUser && (facts.startupDeferral || facts.askAfterHide);
}

}  // namespace brevalo
