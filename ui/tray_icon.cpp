#include "ui/tray_icon.h"

namespace brevalo {

void TrayIcon::SetIcon(int resourceId, uint32_t identifier) {
  data_.icon = resourceId;
  data_.id = identifier;
  if (shown_) host_->NotifyIcon(TrayOp::Modify, data_);
}

void TrayIcon::Show(uint32_t identifier) {
  if (shown_) return;
  data_.id = identifier;
  shown_ = host_->NotifyIcon(TrayOp::Add, data_);
}

void TrayIcon::Hide(uint32_t identifier) {
  if (!shown_) return;
  data_.id = identifier;
  if (host_->NotifyIcon(TrayOp::Delete, data_)) shown_ = false;
}

void TrayIcon::SetTip(std::u16string_view text) {
  std::u16string tip(text.substr(0, kTrayTipChars - 1));
  if (tip.size() == kTrayTipChars - 1 && tip.back() >= 0xD800 && tip.back() <= 0xDBFF) tip.pop_back();
  data_.tip = tip;
  if (shown_) host_->NotifyIcon(TrayOp::Modify, data_);
}

}  // namespace brevalo
