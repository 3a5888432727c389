// cellcore.dll: tapiRequestMakeCallW writes the call log and the event log.
#include <optional>
#include <string>

#include "device/cellcore_library.h"
#include "device/code_page.h"
#include "device/event_log.h"
#include "device/phone_database.h"
#include "device/phone_library_device.h"
#include "device/system_time.h"

namespace brevalo {
namespace {

// The text up to its terminator within `limit` units; nothing when there is none.
std::optional<std::u16string> Bounded(const char16_t* text, int limit) {
  if (text == nullptr) return std::nullopt;
  for (int i = 0; i <= limit; ++i) {
    if (text[i] == u'\0') return std::u16string(text, static_cast<size_t>(i));
  }
  return std::nullopt;
}

uint64_t NowTicks() {
  FILETIME now = GetSystemTimeAsFileTime();
  return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace
}  // namespace brevalo

using namespace brevalo;

BREVALO_LIBRARY_EXPORT TapiResult tapiRequestMakeCallW(const char16_t* destAddress,
                                                       const char16_t*,
                                                       const char16_t* calledParty,
                                                       const char16_t*) {
  std::optional<std::u16string> number = Bounded(destAddress, kTapiMaxDestAddressSize);
  if (!number || number->empty()) return TAPIERR_INVALDESTADDRESS;
  Device device = PhoneLibraryDevice();
  std::unique_ptr<PhoneDatabase> database = PhoneDatabase::OpenDevice(device);
  if (database == nullptr || !database->AppendCall({0, *number, NowTicks()})) {
    return TAPIERR_NOREQUESTRECIPIENT;
  }
  nlohmann::json fields{{"number", ToUtf8(*number)}};
  // The called party is the caller's display text; a missing or overlong one is left out.
  if (std::optional<std::u16string> party = Bounded(calledParty, kTapiMaxDestAddressSize)) {
    fields["calledParty"] = ToUtf8(*party);
  }
  if (!EventLog(device).Append("call", fields)) return TAPIERR_NOREQUESTRECIPIENT;
  return TAPIERR_CONNECTED;
}
