#include "app/single_instance.h"

#include "device/kernel_wait.h"
#include "device/window_directory.h"
#include "ui/window_messages.h"

namespace brevalo {

InstanceClaim ClaimSingleInstance(const Device& device) {
  InstanceClaim claim;
  claim.mutex = NamedMutex::Create(device, kInstanceMutexName, false);
  if (claim.mutex == nullptr) return claim;
  if (claim.mutex->LastError() != ERROR_ALREADY_EXISTS) {
    claim.outcome = InstanceClaim::Outcome::kFirst;
    return claim;
  }
  // The running program treats this as a double click on its tray icon and shows itself.
  if (std::optional<WindowAddress> window = FindWindow(device, kMainWindowClass, kMainWindowTitle)) {
    claim.posted = PostMessage(*window, WM_TRAY_NOTIFY, 0, static_cast<int32_t>(WM_LBUTTONDBLCLK));
  }
  claim.mutex.reset();
  claim.outcome = InstanceClaim::Outcome::kHandedOver;
  return claim;
}

}  // namespace brevalo
