#include "send/group_send_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTreeWidget>

#include <memory>

#include "send/control_rows.h"
#include "send/group_sender.h"
#include "ui/dialog_base.h"
#include "ui/phone_screen.h"
#include "ui/view_paging.h"

namespace brevalo {
namespace {

constexpr int kStatusColumnWidth = 80;

// Posted by the sending thread to the dialog: a row's new status (wParam row, lParam status),
// and the end (lParam 1 when the library was opened).
constexpr uint32_t WM_GROUP_ROW = WM_USER + 182;
constexpr uint32_t WM_GROUP_DONE = WM_USER + 183;

QString Q(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)); }

class GroupSendDialog : public DialogBase {
 public:
  GroupSendDialog(PhoneScreen& screen, const SmsEntryPoints& sms, const std::u16string& recipients,
                  const std::u16string& text, bool flash)
      : DialogBase(screen, QString::fromUtf8("群发")), sms_(sms), rows_(GroupSendRows(recipients)),
        text_(text), flash_(flash) {
    MenuBar().left = {u"OK", ID_GROUP_OK, nullptr, true};
    MenuBar().right = {u"Cancel", ID_GROUP_CANCEL, nullptr, true};
    // Back would close the list; it does only what Cancel does.
    MenuBar().backKeyToWindow = false;
  }
  ~GroupSendDialog() override {
    // The thread posts to this window; it has ended before the window goes.
    if (sender_) sender_->Join();
  }

 protected:
  bool OnInitDialog() override {
    notice_ = new QLabel("It can't be stopped when sending SMS. Press OK to start.");
    notice_->setWordWrap(true);
    AddControl(IDC_GROUP_NOTICE, ControlKind::Static, notice_);
    list_ = NewTwoColumnList({"Send To", "Status"}, kStatusColumnWidth);
    list_->setFixedHeight(std::max(80, Screen().WindowArea().height() - 70));
    for (const GroupSendRow& row : rows_) list_->addTopLevelItem(new QTreeWidgetItem(QStringList{Q(row.name), QString()}));
    AddControl(IDC_GROUP_LIST, ControlKind::Tree, list_);
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    SetFocusControl(IDC_GROUP_LIST);
    return true;
  }

  intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    if (message == WM_GROUP_ROW) {
      ShowStatus(static_cast<int>(wParam), static_cast<GroupRowStatus>(lParam));
      return 0;
    }
    if (message == WM_GROUP_DONE) {
      Done(lParam != 0);
      return 0;
    }
    return DialogBase::WindowProc(message, wParam, lParam);
  }

  void OnCommand(int id, uint16_t) override {
    const bool ok = id == ID_GROUP_OK;
    if (!ok && id != ID_GROUP_CANCEL && id != IDOK && id != IDCANCEL) return;
    switch (GroupSendCommand(stage_, ok, openFailed_)) {
      case GroupSendAction::kStart:
        return Start();
      case GroupSendAction::kEndSent:
        return EndDialog(IDOK);
      case GroupSendAction::kEndCancelled:
        return EndDialog(ID_GROUP_CANCEL);
      case GroupSendAction::kIgnore:
        return;
    }
  }

  void KeyPressed(PhoneKey key, bool repeat) override {
    if (FocusedControlId() == IDC_GROUP_LIST && (key == PhoneKey::Left || key == PhoneKey::Right)) {
      PageListView(*list_, key == PhoneKey::Right);
      return;
    }
    // Action on a row is no OK: the thread starts only on the soft key.
    if (key == PhoneKey::Action) return;
    DialogBase::KeyPressed(key, repeat);
  }

  void BackPressed() override { Command(ID_GROUP_CANCEL); }

 private:
  void Start() {
    stage_ = GroupSendStage::kSending;
    std::vector<std::u16string> numbers;
    for (const GroupSendRow& row : rows_) numbers.push_back(row.number);
    GroupSender::Observer observer;
    observer.row = [this](size_t row, GroupRowStatus status) {
      PostMessage(WM_GROUP_ROW, row, static_cast<intptr_t>(status));
    };
    observer.done = [this](bool opened) { PostMessage(WM_GROUP_DONE, 0, opened ? 1 : 0); };
    sender_ = std::make_unique<GroupSender>(sms_, std::move(numbers), text_, flash_, std::move(observer));
    sender_->Start();
  }

  void ShowStatus(int row, GroupRowStatus status) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (!item) return;
    item->setText(1, Q(GroupRowStatusText(status)));
    list_->scrollToItem(item);
    Screen().Refresh();
  }

  void Done(bool opened) {
    if (sender_) sender_->Join();
    openFailed_ = !opened;
    if (opened) {
      notice_->setText("Send complete! Press OK to exit");
    } else {
      // Nothing went out: the rows say so and OK goes back to the message, which stays.
      for (int row = 0; row < list_->topLevelItemCount(); ++row) ShowStatus(row, GroupRowStatus::kFail);
      notice_->setText("The phone's SMS service could not be opened, so nothing was sent. "
                       "Press OK to go back to the message.");
    }
    stage_ = GroupSendStage::kDone;
    Screen().Refresh();
  }

  SmsEntryPoints sms_;
  std::vector<GroupSendRow> rows_;
  std::u16string text_;
  bool flash_;
  GroupSendStage stage_ = GroupSendStage::kReady;
  bool openFailed_ = false;
  std::unique_ptr<GroupSender> sender_;
  QLabel* notice_ = nullptr;
  QTreeWidget* list_ = nullptr;
};

}  // namespace

int RunGroupSend(PhoneScreen& screen, const SmsEntryPoints& sms, const std::u16string& recipients,
                 const std::u16string& text, bool flash) {
  GroupSendDialog dialog(screen, sms, recipients, text, flash);
  return dialog.DoModal() == IDOK ? IDOK : ID_GROUP_CANCEL;
}

}  // namespace brevalo
