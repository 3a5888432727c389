// Group sending without its window: the rows a recipient list gives, the stages of the dialog
// and what OK and Cancel do in each, and the sending thread, which opens the SMS library with a
// handle of its own and sends the text to each row's number in turn, telling an observer how
// each one went. It uses the transport's bound entry points and SendToOneNumber, never the
// send queue or its locks.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "send/sms_transport.h"

namespace brevalo {

struct GroupSendRow {
  std::u16string name;    // RecipientDisplayName's name: what "Send To" shows
  std::u16string number;
};

// One row per ";"-separated piece that holds a number, in order.
std::vector<GroupSendRow> GroupSendRows(std::u16string_view recipients);

// 0 ready (the list shown), 1 sending, 2 done.
enum class GroupSendStage : int { kReady = 0, kSending = 1, kDone = 2 };
enum class GroupSendAction { kIgnore, kStart, kEndSent, kEndCancelled };

// What OK (`ok`) or Cancel does in `stage`. When the library could not be opened nothing was
// sent: OK in the done stage then ends as cancelled, so that the caller keeps its message.
GroupSendAction GroupSendCommand(GroupSendStage stage, bool ok, bool openFailed);

enum class GroupRowStatus { kSending, kSuccess, kFail };
// "Sending", "Success", "Fail".
std::u16string_view GroupRowStatusText(GroupRowStatus status);

class GroupSender {
 public:
  struct Observer {
    // Called on the sending thread for each row, before and after its message.
    std::function<void(size_t row, GroupRowStatus status)> row;
    // Called on the sending thread last; `opened` is false when SmsOpen failed (or the
    // library is not bound), in which case nothing was sent.
    std::function<void(bool opened)> done;
  };

  // Flash sends class 0 messages; no status report is ever asked for.
  GroupSender(const SmsEntryPoints& sms, std::vector<std::u16string> numbers, std::u16string text,
              bool flash, Observer observer);
  // Waits for the thread.
  ~GroupSender();
  GroupSender(const GroupSender&) = delete;
  GroupSender& operator=(const GroupSender&) = delete;

  void Start();
  bool Finished() const { return finished_.load(); }
  void Join();

 private:
  void Run();

  SmsEntryPoints sms_;
  std::vector<std::u16string> numbers_;
  std::u16string text_;
  bool flash_;
  Observer observer_;
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

}  // namespace brevalo
