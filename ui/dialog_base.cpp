#include "ui/dialog_base.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>

#include "ui/phone_screen.h"

namespace brevalo {
namespace {

// Hands the painting of each row to the dialog as WM_DRAWITEM.
class OwnerDrawDelegate : public QStyledItemDelegate {
 public:
  OwnerDrawDelegate(DialogBase* dialog, int listId, QObject* parent)
      : QStyledItemDelegate(parent), dialog_(dialog), listId_(listId) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    DrawItem item{listId_, index.row(), painter, option.rect,
                  (option.state & QStyle::State_Selected) != 0};
    painter->save();
    dialog_->SendMessage(WM_DRAWITEM, static_cast<uintptr_t>(listId_), reinterpret_cast<intptr_t>(&item));
    painter->restore();
  }

 private:
  DialogBase* dialog_;
  int listId_;
};

}  // namespace

DialogBase::DialogBase(PhoneScreen& screen, const QString& title) : PhoneWindow(screen, title) {
  MenuBar().left = {u"OK", IDOK, nullptr, true};
  MenuBar().right = {u"Cancel", IDCANCEL, nullptr, true};
}

intptr_t DialogBase::WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_DESTROY:
      Destroy();
      return 0;
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(*reinterpret_cast<PopupMenu*>(wParam), static_cast<int>(lParam));
      return 0;
    case WM_INITDIALOG:
      return OnInitDialog() ? 1 : 0;
    case WM_COMMAND:
      OnCommand(LowWord(wParam), HighWord(wParam));
      return 0;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const Notification*>(lParam));
      return 0;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DrawItem*>(lParam));
      return 1;
    default:
      return PhoneWindow::WindowProc(message, wParam, lParam);
  }
}

void DialogBase::OnCommand(int id, uint16_t notifyCode) {
  if (notifyCode == BN_CLICKED && (id == IDOK || id == IDCANCEL)) EndDialog(id);
}

void DialogBase::EndDialog(int result) {
  result_ = result;
  ended_ = true;
  if (loop_) loop_->exit();
}

void DialogBase::SetOwnerDraw(int listId) {
  if (auto* list = qobject_cast<QAbstractItemView*>(Control(listId))) {
    list->setItemDelegate(new OwnerDrawDelegate(this, listId, list));
  }
}

int DialogBase::DoModal() {
  PhoneScreen& screen = Screen();
  QPointer<PhoneWindow> owner = screen.TopWindow();
  bool ownerWasEnabled = owner && owner->IsWindowEnabled();
  if (owner) {
    owner->EnableWindow(false);
    owner->SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
  }
  ended_ = false;
  result_ = IDCANCEL;
  running_ = true;
  screen.CloseMenu();
  bool initialised = SendMessage(WM_INITDIALOG, 0, 0) != 0;
  if (!initialised && !ended_) EndDialog(IDCANCEL);
  if (!ended_) {
    screen.ShowWindow(this, true);
    SendMessage(WM_ACTIVATE, WA_ACTIVE, 0);
    QEventLoop loop;
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
  }
  running_ = false;
  SendMessage(WM_DESTROY, 0, 0);
  screen.ShowWindow(this, false);
  if (owner) {
    if (ownerWasEnabled) owner->EnableWindow(true);
    owner->SendMessage(WM_ACTIVATE, WA_ACTIVE, 0);
  }
  return result_;
}

}  // namespace brevalo
