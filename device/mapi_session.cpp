#include "device/mapi_session.h"

#include <mutex>
#include <optional>
#include <vector>

#include "device/mapi_objects.h"
#include "device/phone_database.h"

namespace brevalo {
namespace {

struct Globals {
  std::mutex mutex;
  int initialized = 0;
  std::optional<std::filesystem::path> device;
};

Globals& TheGlobals() {
  static Globals globals;
  return globals;
}

}  // namespace

HRESULT MAPIInitialize(void*) {
  Globals& globals = TheGlobals();
  std::lock_guard lock(globals.mutex);
  ++globals.initialized;
  return S_OK;
}

void MAPIUninitialize() {
  Globals& globals = TheGlobals();
  std::lock_guard lock(globals.mutex);
  if (globals.initialized > 0) --globals.initialized;
}

void MapiUseDevice(const std::filesystem::path& dir) {
  Globals& globals = TheGlobals();
  std::lock_guard lock(globals.mutex);
  globals.device = dir;
}

HRESULT MAPILogonEx(ULONG_PTR, const char16_t*, const char16_t*, ULONG,
                    IMAPISession** session) {
  if (session == nullptr) return MAPI_E_INVALID_PARAMETER;
  *session = nullptr;
  std::filesystem::path dir;
  {
    Globals& globals = TheGlobals();
    std::lock_guard lock(globals.mutex);
    if (globals.initialized == 0) return MAPI_E_NOT_INITIALIZED;
    dir = globals.device ? *globals.device : Device::ResolveDir("");
  }
  std::shared_ptr<PhoneDatabase> database = PhoneDatabase::OpenDevice(Device(dir));
  if (database == nullptr) return MAPI_E_LOGON_FAILED;
  *session = NewMapiSession(std::move(database));
  return *session != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
}

HRESULT MapiOpenStore(const Device& device, std::u16string_view name, IMsgStore** store) {
  if (store == nullptr) return MAPI_E_INVALID_PARAMETER;
  *store = nullptr;
  std::shared_ptr<PhoneDatabase> database = PhoneDatabase::OpenDevice(device);
  if (database == nullptr) return MAPI_E_CALL_FAILED;
  std::vector<PhoneStore> stores;
  if (!database->ListStores(&stores)) return MAPI_E_CALL_FAILED;
  for (PhoneStore& candidate : stores) {
    if (candidate.name != name) continue;
    *store = NewMapiStore(std::move(database), std::move(candidate));
    return *store != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
  }
  return MAPI_E_NOT_FOUND;
}

}  // namespace brevalo
