// The phone's messaging service as far as incoming SMS go: every rule client registered under
// "\Software\Microsoft\Inbox\Svc\SMS\Rules" (of HKEY_LOCAL_MACHINE, then HKEY_CURRENT_USER; one
// value per class identifier, a non-zero REG_DWORD) is activated through the device's COM
// runtime and initialised with the SMS store. Each incoming message is put into the store's
// inbox first and then offered to the rule clients in turn, until one reports it handled
// without wanting others to see it. The set of clients follows the registry: a registration made
// or withdrawn while the service runs is seen before the next message.
//
// The rule clients run on the caller's thread and may block it (a hand-over to a program waits
// up to a second); one thread drives a service.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "device/com_ptr.h"
#include "device/com_runtime.h"
#include "device/device_paths.h"
#include "device/mail_rule_client.h"
#include "device/phone_database.h"
#include "device/registry.h"
#include "device/service_request.h"

namespace brevalo {

class MessagingService {
 public:
  // Opens the device's message database and its SMS store (made when missing). Nothing, with
  // *error set, when either cannot be opened. The device must outlive the service.
  static std::unique_ptr<MessagingService> Open(const Device& device, std::string* error);
  // Releases the rule clients before the runtime unloads their libraries.
  ~MessagingService();
  MessagingService(const MessagingService&) = delete;
  MessagingService& operator=(const MessagingService&) = delete;

  // Brings the loaded clients in line with the registry. Activation failures are written to the
  // event log once; a class that failed is tried again when the registrations change.
  void RefreshRuleClients();

  // Puts the message into the inbox and runs the rule clients on it. Nothing, with *error set,
  // when the inbox cannot take it.
  std::optional<SmsOutcome> Deliver(std::u16string_view from, std::u16string_view text,
                                    uint64_t deliveryTime, std::string* error);

  // Class identifiers of the loaded clients, in calling order.
  std::vector<std::string> RuleClients() const;

 private:
  struct LoadedClient {
    CLSID clsid;
    ComPtr<IMailRuleClient> client;
  };

  MessagingService(const Device& device, std::unique_ptr<PhoneDatabase> database, int64_t storeId,
                   IMsgStore* store);
  std::vector<CLSID> RegisteredClasses();
  bool Load(const CLSID& clsid);
  void Log(std::string_view kind, nlohmann::json fields) const;

  const Device& device_;
  Registry registry_;
  std::unique_ptr<ComRuntime> runtime_;
  std::unique_ptr<PhoneDatabase> database_;
  int64_t storeId_;
  ComPtr<IMsgStore> store_;
  std::vector<LoadedClient> clients_;
  std::vector<CLSID> lastRegistered_;
  std::set<CLSID> failed_;
};

}  // namespace brevalo
