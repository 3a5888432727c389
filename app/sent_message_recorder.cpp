#include "app/sent_message_recorder.h"

#include "app/message_content.h"
#include "store/node_title.h"

namespace brevalo {
namespace {

int FolderFor(int result) {
  switch (result) {
    case SEND_RESULT_FAIL:
      return kOutbox;
    case SEND_RESULT_SAVED:
      return kDrafts;
    default:
      return kSentBox;
  }
}

void Remember(SendRecord& record, TreeNode& node) {
  record.node = &node;
  record.nodeOffset = node.Data().offset;
}

}  // namespace

SentMessageRecorder::SentMessageRecorder(OpenDocument& document, const CodePage& page)
    : document_(document), page_(page) {}

TreeNode* SentMessageRecorder::DraftOf(const SendRecord& record) const {
  if (record.node == nullptr) return nullptr;
  // The record only remembers where the draft was; it may have been deleted since, and a new
  // node may even sit at its address: that one must not be replaced.
  bool found = false;
  document_.Tree().Walk([&](const TreeNode& each, int) {
    found = found || (&each == record.node && each.Data().offset == record.nodeOffset);
  });
  return found ? record.node : nullptr;
}

TreeNode* SentMessageRecorder::Record(SendRecord& record, int result,
                                      const SentRecordingOptions& options,
                                      std::u16string_view timeText) {
  ApplicationLockHold hold(document_.Lock());
  if (!document_.IsOpen()) return nullptr;
  std::u16string title = BuildTitle(SentTitleContact(record.recipients), record.text, timeText,
                                    options.titleMode, options.summaryLength);
  const std::u16string content = SentContent(page_, record.recipients, record.text);
  TreeNode* draft = DraftOf(record);
  TreeNode* recorded = nullptr;
  if (result == SEND_RESULT_SAVED) {
    recorded = draft ? UpdateDraft(*draft, std::move(title), content)
                     : AddMessage(result, std::move(title), content);
    if (recorded != nullptr) Remember(record, *recorded);
    return recorded;
  }
  if (draft == nullptr && !options.saveToSentBox) return nullptr;
  recorded = AddMessage(result, std::move(title), content);
  // The draft goes only once its message is safely in the document.
  if (recorded == nullptr) return nullptr;
  if (draft != nullptr) document_.RemoveNode(*draft);
  Remember(record, *recorded);
  return recorded;
}

TreeNode* SentMessageRecorder::UpdateDraft(TreeNode& node, std::u16string title,
                                           std::u16string_view content) {
  // The content always holds the recipients' heading, so it is never the empty text that
  // would clear the record.
  MessageEdits edits;
  edits.title = std::move(title);
  edits.text = std::u16string(content);
  return SaveMessageEdits(document_, node, edits) ? &node : nullptr;
}

TreeNode* SentMessageRecorder::AddMessage(int result, std::u16string title,
                                          std::u16string_view content) {
  TreeNode* folder = document_.SpecialFolder(FolderFor(result));
  if (folder == nullptr) return nullptr;
  return document_.AddNode(folder, std::move(title), kImageRead, content);
}

}  // namespace brevalo
