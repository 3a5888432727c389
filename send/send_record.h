// One outgoing message as the send queue holds it, with the flags callers set and the result
// codes that report what became of it to the main window.
#pragma once

#include <cstdint>
#include <string>

#include "device/system_time.h"

namespace brevalo {

class TreeNode;

inline constexpr uint32_t SEND_FLASH = 1;          // class 0: shown at once, not stored
inline constexpr uint32_t SEND_TIMED = 2;          // sendTime holds the minute to send in
inline constexpr uint32_t SEND_STATUS_REPORT = 4;  // ask the network for a delivery report

inline constexpr int SEND_RESULT_FAIL = 0;   // no number of the record was accepted
inline constexpr int SEND_RESULT_OK = 1;     // the last non-empty number was accepted
inline constexpr int SEND_RESULT_SAVED = 2;  // the compose window saved the message as a draft
inline constexpr int SEND_RESULT_GROUP = 4;  // the compose window sent it to a group itself

struct SendRecord {
  std::u16string recipients;  // entries separated by ";"
  std::u16string text;
  uint32_t flags = 0;
  SYSTEMTIME sendTime{};      // local time; only with SEND_TIMED
  // The draft this message was saved as, if any. The receiver of a result may replace it with
  // the node it recorded; the record does not own it and it may have left the tree meanwhile.
  TreeNode* node = nullptr;
  // The store offset the draft had when it was named here: a node found at the same address
  // but with another record is some other node that took the place of a deleted draft.
  uint32_t nodeOffset = 0;
};

// Where the outcome of each queued message goes. Called on the send thread, which waits until
// it returns and frees the record afterwards: the receiver copies what it keeps.
class SendResultSink {
 public:
  virtual ~SendResultSink() = default;
  virtual void DeliverResult(SendRecord& record, int result) = 0;
};

}  // namespace brevalo
