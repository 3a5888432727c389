// One open session of the SMS library with the emulated network: it checks what a sender
// hands over, plays the registry's faults and puts each accepted message into the device's
// network outbox. The shared object sms.dll is a thin shell of handles around this.
#pragma once

#include <memory>
#include <mutex>

#include "device/device_paths.h"
#include "device/phone_database.h"
#include "device/sms_library.h"

namespace brevalo {

class NetworkSession {
 public:
  // SMS_E_INVALID_PROTOCOL without a protocol name, E_INVALIDARG for modes without
  // SMS_MODE_SEND or no place for the session, SMS_E_NO_NETWORK when the FailOpen fault is on,
  // E_FAIL when the device's message database cannot be opened.
  static HRESULT Open(const Device& device, const char16_t* protocol, DWORD modes,
                      std::unique_ptr<NetworkSession>* session);

  NetworkSession(const NetworkSession&) = delete;
  NetworkSession& operator=(const NetworkSession&) = delete;

  // Safe to call from several threads at once. Accepts one message into the outbox: S_OK and *messageId (if given) the outbox entry.
  // E_INVALIDARG for a missing or unterminated or empty address, text bytes that are not whole
  // UTF-16 units, or provider data shorter than TEXT_PROVIDER_SPECIFIC_DATA;
  // SMS_E_ADDRESS_REJECTED when a fault refuses the number or its address type; E_FAIL when the
  // outbox cannot be written. Without provider data the message is of class 1 without report.
  HRESULT Send(const SMS_ADDRESS* destination, const uint8_t* data, DWORD dataSize,
               const uint8_t* providerData, DWORD providerDataSize, SMS_MESSAGE_ID* messageId);

 private:
  NetworkSession(Device device, std::unique_ptr<PhoneDatabase> database);

  Device device_;
  std::mutex mutex_;  // a sender's threads may share one handle
  std::unique_ptr<PhoneDatabase> database_;
};

}  // namespace brevalo
