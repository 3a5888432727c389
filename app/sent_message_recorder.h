// Records the outcome of a sent or saved message in the open document: a failed one goes to
// "\Outbox", a sent one to "\Sent Box", a saved draft to "Drafts" (or onto its old node), each
// as a read message whose body names its recipients above the text. A message composed from a
// draft replaces the draft whatever the outcome.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/open_document.h"
#include "send/send_record.h"
#include "store/sent_content.h"

namespace brevalo {

struct SentRecordingOptions {
  bool saveToSentBox = false;  // record messages that were not composed from a draft
  int32_t titleMode = 2;       // SendTitle
  int32_t summaryLength = 10;
};

class SentMessageRecorder {
 public:
  // Both must outlive the recorder.
  SentMessageRecorder(OpenDocument& document, const CodePage& page);

  // Records `result` for `record` under the application lock; `timeText` is now as the user
  // reads it, for the title. Returns the node that holds the message now and writes it into
  // the record for the sender to read back; null when nothing was recorded (no document, a
  // message neither from a draft nor to be kept, a record that could not be written).
  TreeNode* Record(SendRecord& record, int result, const SentRecordingOptions& options,
                   std::u16string_view timeText);

 private:
  // The record's draft where it is still in the tree with the record it was named with.
  TreeNode* DraftOf(const SendRecord& record) const;
  TreeNode* UpdateDraft(TreeNode& node, std::u16string title, std::u16string_view content);
  TreeNode* AddMessage(int result, std::u16string title, std::u16string_view content);

  OpenDocument& document_;
  const CodePage& page_;
};

}  // namespace brevalo
