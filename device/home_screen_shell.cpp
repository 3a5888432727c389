#include "device/home_screen_shell.h"

#include "device/event_log.h"
#include "device/code_page.h"

namespace brevalo {

bool NotifyHomePluginChanged(const Device& device, std::u16string_view classId) {
  return EventLog(device).Append("home-plugin-changed", {{"clsid", ToUtf8(classId)}});
}

}  // namespace brevalo
