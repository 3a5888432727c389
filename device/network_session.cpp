#include "device/network_session.h"

#include <cstring>
#include <optional>
#include <string>

#include "device/network_faults.h"

namespace brevalo {
namespace {

// The address up to its terminator; nothing when the field holds none, so that a sender's
// unterminated buffer is never read past its end.
std::optional<std::u16string> AddressOf(const SMS_ADDRESS& address) {
  for (size_t i = 0; i < SMS_MAX_ADDRESS_LENGTH; ++i) {
    if (address.ptsAddress[i] == u'\0') return std::u16string(address.ptsAddress, i);
  }
  return std::nullopt;
}

std::u16string TextOf(const uint8_t* data, DWORD size) {
  std::u16string text;
  text.reserve(size / 2);
  for (DWORD i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  return text;
}

uint64_t Ticks(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

NetworkSession::NetworkSession(Device device, std::unique_ptr<PhoneDatabase> database)
    : device_(std::move(device)), database_(std::move(database)) {}

HRESULT NetworkSession::Open(const Device& device, const char16_t* protocol, DWORD modes,
                             std::unique_ptr<NetworkSession>* session) {
  if (session == nullptr) return E_INVALIDARG;
  session->reset();
  if (protocol == nullptr || protocol[0] == u'\0') return SMS_E_INVALID_PROTOCOL;
  // Receiving belongs to the messaging service, not to senders.
  if ((modes & SMS_MODE_SEND) == 0) return E_INVALIDARG;
  if (NetworkFaults::Read(device).failOpen) return SMS_E_NO_NETWORK;
  std::unique_ptr<PhoneDatabase> database = PhoneDatabase::OpenDevice(device);
  if (database == nullptr) return E_FAIL;
  session->reset(new NetworkSession(device, std::move(database)));
  return S_OK;
}

HRESULT NetworkSession::Send(const SMS_ADDRESS* destination, const uint8_t* data, DWORD dataSize,
                             const uint8_t* providerData, DWORD providerDataSize,
                             SMS_MESSAGE_ID* messageId) {
  if (destination == nullptr) return E_INVALIDARG;
  std::optional<std::u16string> number = AddressOf(*destination);
  if (!number || number->empty()) return E_INVALIDARG;
  if ((data == nullptr && dataSize > 0) || dataSize % 2 != 0) return E_INVALIDARG;
  TEXT_PROVIDER_SPECIFIC_DATA options{};
  options.psMessageClass = PS_MESSAGE_CLASS1;
  if (providerData != nullptr) {
    if (providerDataSize < sizeof(options)) return E_INVALIDARG;
    std::memcpy(&options, providerData, sizeof(options));
  }

  NetworkFaults faults = NetworkFaults::Read(device_);
  if (faults.RejectsNumber(*number) || faults.RejectsAddressType(destination->smsatAddressType)) {
    return SMS_E_ADDRESS_REJECTED;
  }

  OutboxEntry entry;
  std::lock_guard lock(mutex_);
  entry.recipient = std::move(*number);
  entry.addressType = destination->smsatAddressType;
  entry.text = TextOf(data, dataSize);
  entry.messageClass = options.psMessageClass;
  entry.statusReport = (options.dwMessageOptions & PS_MESSAGE_OPTION_STATUSREPORT) != 0;
  entry.time = Ticks(GetSystemTimeAsFileTime());
  std::optional<int64_t> id = database_->AppendOutbox(entry);
  if (!id) return E_FAIL;
  if (messageId != nullptr) *messageId = static_cast<SMS_MESSAGE_ID>(*id);
  return S_OK;
}

}  // namespace brevalo
