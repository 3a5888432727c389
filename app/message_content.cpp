#include "app/message_content.h"

#include "store/node_title.h"

namespace brevalo {

std::optional<StoredMessage> ReadStoredMessage(OpenDocument& document, const TreeNode& node) {
  ApplicationLockHold hold(document.Lock());
  MessageStore& store = document.Store();
  if (!store.IsOpen() || !store.ReadRecord(node.Data().offset)) return std::nullopt;
  StoredMessage message;
  message.number = store.RecordNumber();
  message.date = store.Record().date;
  message.password = store.RecordPassword();
  if (store.Record().hasBody) {
    std::optional<std::u16string> text = store.ReadBodyText();
    if (!text) return std::nullopt;
    message.text = std::move(*text);
  }
  return message;
}

bool SaveMessageEdits(OpenDocument& document, TreeNode& node, const MessageEdits& edits) {
  ApplicationLockHold hold(document.Lock());
  MessageStore& store = document.Store();
  if (!store.IsOpen()) return false;
  if (edits.text) {
    if (!store.ReadRecord(node.Data().offset)) return false;
    const uint32_t offset = edits.text->empty() ? store.UpdateMessage(nullptr, node.Data().offset)
                                                : store.UpdateMessage(&*edits.text, node.Data().offset);
    if (offset == 0) return false;
    // Copies of the node share its record; they keep the old one, which stays in the file.
    NodeData data = node.Data();
    data.offset = offset;
    document.Tree().SetData(node, data);
  }
  if (edits.title) {
    std::u16string title = *edits.title;
    if (title.size() > kTitleCapacity) title.resize(kTitleCapacity);
    document.Tree().SetLabel(node, std::move(title));
  }
  if (edits.text || edits.title) store.SetTreeChanged();
  return true;
}

TreeNode* PreviousSibling(const TreeNode& node) {
  const TreeNode* parent = node.Parent();
  if (!parent) return nullptr;
  const size_t row = node.Row();
  return row > 0 ? parent->Child(row - 1) : nullptr;
}

TreeNode* NextSibling(const TreeNode& node) {
  const TreeNode* parent = node.Parent();
  if (!parent) return nullptr;
  const size_t row = node.Row();
  return row + 1 < parent->ChildCount() ? parent->Child(row + 1) : nullptr;
}

}  // namespace brevalo
