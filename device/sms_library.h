// The phone's SMS library (sms.dll on the device, a shared object here): the structures and
// entry points that a sender binds by name, with the phone's layouts and numbers. Each message
// the library accepts goes into the network outbox of the device's message database.
//
// The library finds its device through BrevaloSetDeviceFolder, when the loading process calls
// it first, else through $VELMORA_DEVICE, else the default device folder.
//
// Faults of the network come from the device registry, key HKEY_LOCAL_MACHINE\Device\Network,
// read at every call so that they can be switched while a sender runs:
//   FailOpen            REG_DWORD  non-zero: SmsOpen fails with SMS_E_NO_NETWORK
//   RejectNumbers       REG_SZ     numbers separated by ";": sending to one of them fails with
//                                  SMS_E_ADDRESS_REJECTED, whatever the address type
//   RejectAddressTypes  REG_SZ     address type numbers separated by ";" (for example "0;2"):
//                                  sending with one of them fails with SMS_E_ADDRESS_REJECTED
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/hresult.h"
#include "device/phone_library_device.h"
#include "device/system_time.h"

namespace brevalo {

using DWORD = uint32_t;
using SMS_HANDLE = uintptr_t;  // 0 is no handle
using SMS_MESSAGE_ID = DWORD;
using SMS_ADDRESS_TYPE = uint32_t;
using SMS_DATA_ENCODING = uint32_t;

inline constexpr size_t SMS_MAX_ADDRESS_LENGTH = 256;
inline constexpr size_t SMS_DATAGRAM_SIZE = 140;

inline constexpr SMS_ADDRESS_TYPE SMSAT_UNKNOWN = 0;
inline constexpr SMS_ADDRESS_TYPE SMSAT_INTERNATIONAL = 1;
inline constexpr SMS_ADDRESS_TYPE SMSAT_NATIONAL = 2;
inline constexpr SMS_ADDRESS_TYPE SMSAT_NETWORKSPECIFIC = 3;
inline constexpr SMS_ADDRESS_TYPE SMSAT_SUBSCRIBER = 4;
inline constexpr SMS_ADDRESS_TYPE SMSAT_ALPHANUMERIC = 5;
inline constexpr SMS_ADDRESS_TYPE SMSAT_ABBREVIATED = 6;

inline constexpr DWORD SMS_MODE_RECEIVE = 1;
inline constexpr DWORD SMS_MODE_SEND = 2;

inline constexpr SMS_DATA_ENCODING SMSDE_OPTIMAL = 0;
inline constexpr SMS_DATA_ENCODING SMSDE_GSM = 1;
inline constexpr SMS_DATA_ENCODING SMSDE_UCS2 = 2;

inline constexpr DWORD SMS_OPTION_DELIVERY_NONE = 0;
inline constexpr DWORD SMS_OPTION_DELIVERY_NO_RETRY = 1;

inline constexpr DWORD PS_MESSAGE_OPTION_NONE = 0;
inline constexpr DWORD PS_MESSAGE_OPTION_REPLYPATH = 1;
inline constexpr DWORD PS_MESSAGE_OPTION_STATUSREPORT = 2;
inline constexpr DWORD PS_MESSAGE_OPTION_DISCARD = 4;

inline constexpr DWORD PS_MESSAGE_CLASS0 = 0;  // flash: shown at once, not stored
inline constexpr DWORD PS_MESSAGE_CLASS1 = 1;
inline constexpr DWORD PS_MESSAGE_CLASS2 = 2;
inline constexpr DWORD PS_MESSAGE_CLASS3 = 3;

// Failures of the library; the network's refusals are negative, as senders test them.
inline constexpr HRESULT SMS_E_NO_NETWORK = MakeHresult(0x82000101u);
inline constexpr HRESULT SMS_E_ADDRESS_REJECTED = MakeHresult(0x82000102u);
inline constexpr HRESULT SMS_E_INVALID_PROTOCOL = MakeHresult(0x82000103u);  // none named

struct SMS_ADDRESS {
  SMS_ADDRESS_TYPE smsatAddressType;
  char16_t ptsAddress[SMS_MAX_ADDRESS_LENGTH];
};
static_assert(sizeof(SMS_ADDRESS) == 4 + 2 * SMS_MAX_ADDRESS_LENGTH);

struct TEXT_PROVIDER_SPECIFIC_DATA {
  DWORD dwMessageOptions;
  DWORD psMessageClass;
  DWORD psReplaceOption;
  DWORD dwHeaderDataSize;
  uint8_t pbHeaderData[SMS_DATAGRAM_SIZE];
  int32_t fMessageContainsEMSHeaders;
  DWORD dwProtocolID;
};
static_assert(sizeof(TEXT_PROVIDER_SPECIFIC_DATA) == 164, "senders pass 164 as its size");
static_assert(offsetof(TEXT_PROVIDER_SPECIFIC_DATA, pbHeaderData) == 16);
static_assert(offsetof(TEXT_PROVIDER_SPECIFIC_DATA, fMessageContainsEMSHeaders) == 156);

// The entry points as a sender binds them with dlsym.
using SmsOpenFunction = HRESULT (*)(const char16_t* protocol, DWORD modes, SMS_HANDLE* handle,
                                    void** messageAvailableEvent);
using SmsSendMessageFunction = HRESULT (*)(SMS_HANDLE handle, const SMS_ADDRESS* serviceCenter,
                                           const SMS_ADDRESS* destination,
                                           const SYSTEMTIME* validityPeriod, const uint8_t* data,
                                           DWORD dataSize, const uint8_t* providerData,
                                           DWORD providerDataSize, SMS_DATA_ENCODING encoding,
                                           DWORD options, SMS_MESSAGE_ID* messageId);
using SmsCloseFunction = HRESULT (*)(SMS_HANDLE handle);

inline constexpr const char* kSmsOpen = "SmsOpen";
inline constexpr const char* kSmsSendMessage = "SmsSendMessage";
inline constexpr const char* kSmsClose = "SmsClose";

}  // namespace brevalo
