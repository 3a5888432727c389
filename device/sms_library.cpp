// sms.dll: SmsOpen, SmsSendMessage and SmsClose over NetworkSession. Handles are numbers looked
// up in a table, so a closed, foreign or made-up handle is refused instead of followed.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "device/network_session.h"
#include "device/phone_library_device.h"
#include "device/sms_library.h"

namespace brevalo {
namespace {

struct Sessions {
  std::mutex mutex;
  std::map<SMS_HANDLE, std::shared_ptr<NetworkSession>> open;
  SMS_HANDLE next = 1;
};

Sessions& TheSessions() {
  static Sessions sessions;
  return sessions;
}

std::shared_ptr<NetworkSession> Find(SMS_HANDLE handle) {
  Sessions& sessions = TheSessions();
  std::lock_guard lock(sessions.mutex);
  auto found = sessions.open.find(handle);
  return found != sessions.open.end() ? found->second : nullptr;
}

}  // namespace
}  // namespace brevalo

using namespace brevalo;

BREVALO_LIBRARY_EXPORT HRESULT SmsOpen(const char16_t* protocol, DWORD modes, SMS_HANDLE* handle,
                                       void** messageAvailableEvent) {
  if (handle == nullptr) return E_INVALIDARG;
  *handle = 0;
  // Senders pass no event; nothing here ever signals one.
  if (messageAvailableEvent != nullptr) *messageAvailableEvent = nullptr;
  std::unique_ptr<NetworkSession> session;
  HRESULT opened = NetworkSession::Open(PhoneLibraryDevice(), protocol, modes, &session);
  if (FAILED(opened)) return opened;
  Sessions& sessions = TheSessions();
  std::lock_guard lock(sessions.mutex);
  SMS_HANDLE made = sessions.next++;
  sessions.open.emplace(made, std::move(session));
  *handle = made;
  return S_OK;
}

BREVALO_LIBRARY_EXPORT HRESULT SmsSendMessage(SMS_HANDLE handle, const SMS_ADDRESS*,
                                              const SMS_ADDRESS* destination, const SYSTEMTIME*,
                                              const uint8_t* data, DWORD dataSize,
                                              const uint8_t* providerData,
                                              DWORD providerDataSize, SMS_DATA_ENCODING, DWORD,
                                              SMS_MESSAGE_ID* messageId) {
  std::shared_ptr<NetworkSession> session = Find(handle);
  if (session == nullptr) return E_HANDLE;
  return session->Send(destination, data, dataSize, providerData, providerDataSize, messageId);
}

BREVALO_LIBRARY_EXPORT HRESULT SmsClose(SMS_HANDLE handle) {
  Sessions& sessions = TheSessions();
  std::lock_guard lock(sessions.mutex);
  return sessions.open.erase(handle) == 1 ? S_OK : E_HANDLE;
}
