#include "corvane/corvane_module.h"

#include "device/event_log.h"

namespace brevalo {

CorvaneModule& CorvaneModule::Instance() {
  static CorvaneModule module;
  return module;
}

Device CorvaneModule::CurrentDevice() const { return Device(Device::ResolveDir("")); }

void CorvaneModule::Debug(const std::u16string& line) const {
  EventLog(CurrentDevice()).AppendDebugOutput(u"corvane.dll", line);
}

}  // namespace brevalo
