#include "app/sent_message_recorder.h"

#include "store/node_title.h"

namespace brevalo {
namespace {

// Characters of one UTF-16 code point: a surrogate pair stays together when text is cut.
size_t CodePointLength(std::u16string_view text, size_t at) {
  const char16_t c = text[at];
  const bool pair = c >= 0xD800 && c <= 0xDBFF && at + 1 < text.size() &&
                    text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF;
  return pair ? 2 : 1;
}

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

std::u16string SentContent(const CodePage& page, std::u16string_view recipients,
                           std::u16string_view text) {
  std::u16string content = u"Send To:";
  content += recipients;
  content += u"\r\n--------------------\r\n";
  content += text;
  const size_t room = kSentContentCapacity - 1;
  if (page.FromUtf16(content).size() <= room) return content;
  size_t bytes = 0;
  size_t end = 0;
  while (end < content.size()) {
    const size_t length = CodePointLength(content, end);
    const size_t more = page.FromUtf16(std::u16string_view(content).substr(end, length)).size();
    if (bytes + more > room) break;
    bytes += more;
    end += length;
  }
  content.resize(end);
  return content;
}

std::u16string_view SentTitleContact(std::u16string_view recipients) {
  const size_t end = recipients.find_first_of(u";<>");
  if (end == std::u16string_view::npos) return recipients;
  return recipients.substr(0, recipients[end] == u'<' ? end + 1 : end);
}

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
  MessageStore& store = document_.Store();
  if (!store.ReadRecord(node.Data().offset)) return nullptr;
  const std::u16string body(content);
  const uint32_t offset = store.UpdateMessage(&body, node.Data().offset);
  if (offset == 0) return nullptr;
  NodeData data = node.Data();
  data.offset = offset;
  document_.Tree().SetData(node, data);
  if (title.size() > kTitleCapacity) title.resize(kTitleCapacity);
  document_.Tree().SetLabel(node, std::move(title));
  store.SetTreeChanged();
  return &node;
}

TreeNode* SentMessageRecorder::AddMessage(int result, std::u16string title,
                                          std::u16string_view content) {
  TreeNode* folder = document_.SpecialFolder(FolderFor(result));
  if (folder == nullptr) return nullptr;
  return document_.AddNode(folder, std::move(title), kImageRead, content);
}

}  // namespace brevalo
