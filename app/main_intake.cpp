// The main window's side of receiving: the intake thread's messages handled on the window
// thread, and what handling one asks of the window (the delete answer, the alerts, the send
// queue, the published unread count, word of a message the phone had to keep).
#include <chrono>

#include "app/main_commands.h"
#include "app/main_window.h"
#include "app/preview_window.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {

void MainWindow::StartIntake() {
  // Without the channel's objects the library finds the intake off and the phone's inbox keeps
  // every message; the program runs on without receiving.
  intake_.Start(Screen().DeviceFolder(), [this](const SlotMessage& message) {
    uint32_t answer = 0;
    SendMessage(WM_SMS_ARRIVED, reinterpret_cast<uintptr_t>(&message), reinterpret_cast<intptr_t>(&answer));
    return answer;
  });
}

void MainWindow::StopIntake() {
  // A message may be on its way to this thread; it is answered while the intake thread ends.
  intake_.Stop(ServeSentMessagesUntil);
}

void MainWindow::OnSmsArrived(const SlotMessage& message, uint32_t& answer) {
  // From the close on, the document is going or gone: an unconsumed message stays in the
  // channel and the library keeps it in the phone's inbox, so nothing is lost on the way out.
  if (closing_ || !filters_ || !settings_) return;
  // A message that comes while a document operation asks the user something (Compress's
  // question) must not be filed into a document in the middle of that operation: it stays in
  // the channel and is handed over again once the operation has let go of the document.
  if (DocumentHeld()) {
    SetTimer(kHeldWorkTimer, kHeldWorkRetryMs);
    return;
  }
  IncomingSmsHandler handler(*filters_, document_, *this);
  answer = handler.HandleIncomingSms(message, CurrentIntakeOptions());
}

IntakeOptions MainWindow::CurrentIntakeOptions() const {
  IntakeOptions options;
  options.blackDeleteToRecycleBin = settings_->BlackDeleteToRecycleBin != 0;
  options.popupDisplayMs = settings_->DisappearTimeRecv;
  options.randomSoundFolderSet = !settings_->RndSoundPath.Text().empty();
  options.titleMode = settings_->ReceiveTitle;
  options.summaryLength = SummaryLength();
  return options;
}

void MainWindow::AnswerDelete(uint64_t ticket) { intake_.AnswerDelete(ticket); }

void MainWindow::KeptOnPhone(bool saveFailed) {
  if (!saveFailed) {
    SetStatus("Kept on phone: not held exactly");
    return;
  }
  SetStatus("Saving failed: kept on phone");
  NoticeSaveFailure(QString("A message could not be saved in the document, so it stays in the "
                            "phone's inbox. %1").arg(kSaveAdvice));
}

void MainWindow::NoticeSaveFailure(const QString& text) {
  // Said once until a save succeeds again: a box for every message of a burst would bury the
  // user. The library waits for the answer meanwhile, so the box comes afterwards.
  if (saveFailureNoticed_) return;
  saveFailureNoticed_ = true;
  saveFailureNotice_ = text;
  SetTimer(kSaveFailureNoticeTimer, 0);
}

void MainWindow::ShowSaveFailureNotice() {
  KillTimer(kSaveFailureNoticeTimer);
  ErrorBox(*this, saveFailureNotice_);
}

void MainWindow::RetryHeldWork() {
  intake_.Retry();
  std::vector<HeldResult> held;
  held.swap(heldResults_);
  // Each one is held again, in order, when the document is still held.
  for (HeldResult& each : held) OnSmsResult(each.record, each.result);
}

void MainWindow::ShowPopup(std::u16string_view skin, std::u16string_view text,
                           std::u16string_view sender, int displayMs, std::u16string_view picture,
                           int contact) {
  alerts_->Popup().LoadSkin(skin);
  alerts_->Popup().ShowAlert(text, sender, displayMs, picture, contact);
}

void MainWindow::PlaySound(std::u16string_view path) { alerts_->PlayFilterSound(path); }

void MainWindow::PlayRandomRing() { alerts_->PlayRandomRing(); }

void MainWindow::Vibrate() { alerts_->Vibrate(); }

void MainWindow::Enqueue(std::u16string_view recipients, std::u16string_view text) {
  if (transport_) transport_->Enqueue(recipients, text, 0, nullptr, nullptr);
}

bool MainWindow::MayAutoReply(std::u16string_view sender) {
  const int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                          std::chrono::system_clock::now().time_since_epoch()).count();
  return autoReplies_.Allow(sender, now, settings_->AutoReplyWindowMin);
}

void MainWindow::StartUnreadReminder() { SetNewMessageIndication(true); }

void MainWindow::UnreadChanged() {
  PublishUnread();
  if (preview_) preview_->TreeChanged();
}

std::u16string MainWindow::TimeText(DATE local) { return DateText(local); }

}  // namespace brevalo
