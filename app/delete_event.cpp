#include "app/delete_event.h"

#include "channel/channel_buffer.h"

namespace brevalo {

std::unique_ptr<NamedEvent> CreateDeleteEvent(const Device& device) {
  return NamedEvent::Create(device, kSmsDeleteEventName, false, false);
}

}  // namespace brevalo
