#include "send/group_sender.h"

#include <algorithm>

#include "send/recipients.h"

namespace brevalo {

std::vector<GroupSendRow> GroupSendRows(std::u16string_view recipients) {
  std::vector<GroupSendRow> rows;
  while (true) {
    const size_t end = recipients.find(u';');
    RecipientName entry = RecipientDisplayName(recipients.substr(0, end));
    if (!entry.number.empty()) rows.push_back({std::move(entry.name), std::move(entry.number)});
    if (end == std::u16string_view::npos) break;
    recipients.remove_prefix(end + 1);
  }
  return rows;
}

GroupSendAction GroupSendCommand(GroupSendStage stage, bool ok, bool openFailed) {
  switch (stage) {
    case GroupSendStage::kReady:
      return ok ? GroupSendAction::kStart : GroupSendAction::kEndCancelled;
    case GroupSendStage::kSending:
      return GroupSendAction::kIgnore;
    case GroupSendStage::kDone:
      if (!ok) return GroupSendAction::kIgnore;
      return openFailed ? GroupSendAction::kEndCancelled : GroupSendAction::kEndSent;
  }
  return GroupSendAction::kIgnore;
}

std::u16string_view GroupRowStatusText(GroupRowStatus status) {
  switch (status) {
    case GroupRowStatus::kSending: return u"Sending";
    case GroupRowStatus::kSuccess: return u"Success";
    case GroupRowStatus::kFail: return u"Fail";
  }
  return u"";
}

GroupSender::GroupSender(const SmsEntryPoints& sms, std::vector<std::u16string> numbers,
                         std::u16string text, bool flash, Observer observer)
    : sms_(sms), numbers_(std::move(numbers)), text_(std::move(text)), flash_(flash),
      observer_(std::move(observer)) {}

GroupSender::~GroupSender() { Join(); }

void GroupSender::Start() {
  if (thread_.joinable()) return;
  thread_ = std::thread([this] { Run(); });
}

void GroupSender::Join() {
  if (thread_.joinable()) thread_.join();
}

void GroupSender::Run() {
  SMS_HANDLE handle = 0;
  const bool opened = sms_.Complete() && sms_.open(kSmsProtocol, SMS_MODE_SEND, &handle, nullptr) == S_OK;
  if (opened) {
    // The flash class only; the status report is never asked for here.
    const TEXT_PROVIDER_SPECIFIC_DATA providerData = ProviderDataFor(flash_ ? SEND_FLASH : 0);
    for (size_t row = 0; row < numbers_.size(); ++row) {
      const std::u16string& number = numbers_[row];
      if (number.empty()) continue;
      if (observer_.row) observer_.row(row, GroupRowStatus::kSending);
      int sent = 0;
      if (number.size() <= kMaxAddressLength) {
        SMS_ADDRESS address{};
        std::copy(number.begin(), number.end(), address.ptsAddress);
        sent = SendToOneNumber(sms_, handle, &address, providerData, text_);
      }
      if (observer_.row) observer_.row(row, sent ? GroupRowStatus::kSuccess : GroupRowStatus::kFail);
    }
    sms_.close(handle);
  }
  finished_.store(true);
  if (observer_.done) observer_.done(opened);
}

}  // namespace brevalo
