#include "app/unread_count_publisher.h"

#include "device/home_screen_shell.h"

namespace brevalo {

bool UnreadCountPublisher::Create() {
  if (counter_ == nullptr) counter_ = UnreadCounter::Create(device_);
  return counter_ != nullptr;
}

bool UnreadCountPublisher::Write(uint32_t unread) {
  if (counter_ == nullptr) return false;
  counter_->Set(unread);
  NotifyHomePluginChanged(device_, kHomePluginClassId);
  return true;
}

std::optional<uint32_t> UnreadCountPublisher::Value() const {
  if (counter_ == nullptr) return std::nullopt;
  return counter_->Get();
}

}  // namespace brevalo
