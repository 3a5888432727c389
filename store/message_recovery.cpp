#include "store/message_recovery.h"

#include <optional>
#include <set>
#include <tuple>

#include "store/body_codec.h"
#include "store/document_filing.h"
#include "store/node_title.h"

namespace brevalo {
namespace {

// What tells two copies of a message apart from two messages.
using MessageKey = std::tuple<std::u16string, double, std::string>;

std::optional<MessageKey> KeyAt(MessageStore& store, uint32_t offset) {
  if (!store.ReadRecord(offset)) return std::nullopt;
  std::optional<std::string> text = store.ReadBody();
  if (!text) return std::nullopt;
  return MessageKey{store.RecordNumber(), store.Record().date, *text};
}

std::set<MessageKey> KeysIn(MessageStore& store, const TreeNode& folder) {
  std::set<MessageKey> keys;
  for (size_t i = 0; i < folder.ChildCount(); ++i) {
    if (std::optional<MessageKey> key = KeyAt(store, folder.Child(i)->Data().offset)) {
      keys.insert(std::move(*key));
    }
  }
  return keys;
}

constexpr int32_t kRecoveredSummaryLength = 20;

}  // namespace

RecoveryResult RecoverLostMessages(MessageStore& source, const LostMessageScan& scan,
                                   MessageStore& target, FolderTree& targetTree,
                                   std::u16string_view folderPath, const CodePage& page,
                                   const std::function<std::u16string(DATE)>& timeText) {
  RecoveryResult result;
  TreeNode* folder = nullptr;
  if (!FindOrCreateFolder(target, targetTree, folderPath, FolderPlacement::kFirstChild, &folder) ||
      folder == nullptr) {
    result.written = false;
    return result;
  }
  std::set<MessageKey> there = KeysIn(target, *folder);
  for (uint32_t offset : scan.messages) {
    std::optional<MessageKey> key = KeyAt(source, offset);
    if (!key) {
      ++result.unreadable;
      continue;
    }
    if (!there.insert(*key).second) {
      ++result.alreadyThere;
      continue;
    }
    StoreRecord record = source.Record();
    const std::string& ansi = std::get<2>(*key);
    const uint32_t copy = record.hasBody == 1 ? target.AppendRecordWithBody(ansi, record)
                                              : target.AppendRecord(record);
    if (copy == 0) {
      result.written = false;
      break;
    }
    const std::u16string& number = std::get<0>(*key);
    const std::u16string text = BodyTextToUtf16(page, ansi);
    NodeData data;
    data.offset = copy;
    targetTree.InsertLastChild(*folder,
                               BuildTitle(number, text, timeText(record.date),
                                          kTitleContactSummary, kRecoveredSummaryLength),
                               kImageUnread, data);
    ++result.copied;
  }
  target.SetTreeChanged();
  return result;
}

}  // namespace brevalo
