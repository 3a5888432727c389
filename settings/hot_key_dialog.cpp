#include "settings/hot_key_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>

#include "ui/phone_screen.h"

namespace brevalo {
namespace {

const char kIdleText[] = "Action = change, Back = unmap";
const char kCaptureText[] = "Press Key or Press Back to cancel";

// Accelerator flags of a hot-key press's modifiers.
uint8_t AcceleratorFlags(uint32_t modifiers) {
  uint8_t flags = kHotKeyVirtual;
  if (modifiers & MOD_ALT) flags |= kHotKeyAlt;
  if (modifiers & MOD_CONTROL) flags |= kHotKeyControl;
  if (modifiers & MOD_SHIFT) flags |= kHotKeyShift;
  return flags;
}

}  // namespace

HotKeyDialog::HotKeyDialog(PhoneScreen& screen, std::vector<HotKeyBinding>& bindings)
    : OptionPage(screen, "Hotkey"), bindings_(bindings), page_(bindings) {
  MenuBar().right = {u"Reset", IDC_HOTKEY_RESET, nullptr, true};
  MenuBar().backKeyToWindow = true;
}

bool HotKeyDialog::OnInitDialog() {
  label_ = qobject_cast<QLabel*>(AddLabel(IDC_HOTKEY_LABEL, kIdleText));
  list_ = new QTreeWidget;
  list_->setColumnCount(2);
  list_->setHeaderLabels({"Function", "Hotkey"});
  list_->setRootIsDecorated(false);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setMinimumHeight(Screen().WindowArea().height() - 60);
  const int width = Screen().WindowArea().width() - 12;
  list_->header()->resizeSection(0, width * 2 / 3);
  for (const HotKeyCommand& command : kHotKeyCommands) {
    list_->addTopLevelItem(new QTreeWidgetItem({QString::fromStdU16String(std::u16string(command.name)), QString()}));
  }
  ShowRows();
  list_->setCurrentItem(list_->topLevelItem(0));
  AddControl(IDC_HOTKEY_LIST, ControlKind::Tree, list_);
  SetFocusControl(IDC_HOTKEY_LIST);
  return true;
}

void HotKeyDialog::ShowRows() {
  const std::vector<HotKeyRow>& rows = page_.Rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    list_->topLevelItem(static_cast<int>(i))->setText(1, QString::fromStdU16String(HotKeyName(rows[i].key)));
  }
}

void HotKeyDialog::ShowLabel(const QString& text) {
  if (label_) label_->setText(text);
}

size_t HotKeyDialog::SelectedRow() const {
  const int row = list_ ? list_->indexOfTopLevelItem(list_->currentItem()) : -1;
  return row < 0 ? page_.Rows().size() : static_cast<size_t>(row);
}

void HotKeyDialog::StartCapture() {
  for (const CapturableKey& key : kCapturableKeys) Screen().RegisterHotKey(this, key.virtualKey, 0, key.virtualKey);
  page_.StartCapture();
  ShowLabel(kCaptureText);
}

void HotKeyDialog::StopCapture() {
  if (!page_.Capturing()) return;
  page_.EndCapture();
  UnregisterCaptureKeys();
}

void HotKeyDialog::UnregisterCaptureKeys() {
  for (const CapturableKey& key : kCapturableKeys) Screen().UnregisterHotKey(this, key.virtualKey);
}

intptr_t HotKeyDialog::WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message != WM_HOTKEY) return OptionPage::WindowProc(message, wParam, lParam);
  OnHotKey(static_cast<uint16_t>(wParam), LowWord(static_cast<uintptr_t>(lParam)));
  return 0;
}

void HotKeyDialog::OnHotKey(uint16_t id, uint32_t modifiers) {
  if (id == VK_BACK_KEY) {
    if (modifiers & MOD_KEYUP) return;  // the press did it
    if (page_.Capturing()) StopCapture();
    else page_.Unmap(SelectedRow());
  } else if (page_.Capturing()) {
    page_.Captured(SelectedRow(), id, AcceleratorFlags(modifiers));
    UnregisterCaptureKeys();
  }
  ShowRows();
  ShowLabel(kIdleText);
}

void HotKeyDialog::OnNotify(const Notification& notification) {
  if (notification.controlId != IDC_HOTKEY_LIST) return;
  if (notification.code == NM_RETURN && !page_.Capturing()) {
    StartCapture();
  } else if (notification.code == NM_KEYDOWN_ROW && page_.Capturing()) {
    StopCapture();
    ShowLabel(kIdleText);
  }
}

void HotKeyDialog::OnControl(int id, uint16_t code) {
  if (code != BN_CLICKED || id != IDC_HOTKEY_RESET) return;
  bindings_.clear();
  page_.Reset();
  ShowRows();
}

bool HotKeyDialog::Accept() {
  StopCapture();
  bindings_ = page_.Bindings();
  return true;
}

}  // namespace brevalo
