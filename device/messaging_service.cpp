#include "device/messaging_service.h"

#include <cstdio>

#include "device/code_page.h"
#include "device/event_log.h"
#include "device/mapi_entry_id.h"
#include "device/mapi_session.h"

namespace brevalo {
namespace {

std::string ClassText(const CLSID& clsid) { return ToUtf8(FormatGuid(clsid)); }

}  // namespace

std::unique_ptr<MessagingService> MessagingService::Open(const Device& device, std::string* error) {
  std::unique_ptr<PhoneDatabase> database = PhoneDatabase::OpenDevice(device, error);
  if (database == nullptr) return nullptr;
  std::optional<int64_t> storeId = database->EnsureStore(kSmsStoreName);
  if (!storeId) {
    *error = "cannot make the SMS store: " + database->LastError();
    return nullptr;
  }
  IMsgStore* store = nullptr;
  HRESULT hr = MapiOpenStore(device, kSmsStoreName, &store);
  if (FAILED(hr)) {
    *error = "cannot open the SMS store: " + HresultText(hr);
    return nullptr;
  }
  return std::unique_ptr<MessagingService>(
      new MessagingService(device, std::move(database), *storeId, store));
}

MessagingService::MessagingService(const Device& device, std::unique_ptr<PhoneDatabase> database,
                                   int64_t storeId, IMsgStore* store)
    : device_(device),
      registry_(device.RegistryFile()),
      runtime_(std::make_unique<ComRuntime>(device_, registry_)),
      database_(std::move(database)),
      storeId_(storeId),
      store_(ComPtr<IMsgStore>::Adopt(store)) {}

MessagingService::~MessagingService() {
  clients_.clear();
  store_.Reset();
  runtime_.reset();
}

void MessagingService::Log(std::string_view kind, nlohmann::json fields) const {
  EventLog(device_).Append(kind, fields);
}

std::vector<CLSID> MessagingService::RegisteredClasses() {
  std::vector<CLSID> classes;
  for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
    for (const std::u16string& name : registry_.ValueNames(root, kSmsRulesKey)) {
      std::optional<CLSID> clsid = ParseGuid(name);
      std::optional<uint32_t> enabled = registry_.QueryDword(root, kSmsRulesKey, name);
      if (!clsid || !enabled || *enabled == 0) continue;
      bool seen = false;
      for (const CLSID& known : classes) seen = seen || known == *clsid;
      if (!seen) classes.push_back(*clsid);
    }
  }
  return classes;
}

bool MessagingService::Load(const CLSID& clsid) {
  void* object = nullptr;
  HRESULT hr = runtime_->CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IMailRuleClient, &object);
  if (FAILED(hr)) {
    Log("rule-client-failed", {{"clsid", ClassText(clsid)}, {"result", HresultText(hr)},
                               {"error", runtime_->LastError()}});
    return false;
  }
  ComPtr<IMailRuleClient> client = ComPtr<IMailRuleClient>::Adopt(static_cast<IMailRuleClient*>(object));
  MRCACCESS access = MRC_ACCESS_NONE;
  hr = client->Initialize(store_.Get(), &access);
  if (FAILED(hr)) {
    Log("rule-client-failed", {{"clsid", ClassText(clsid)}, {"result", HresultText(hr)},
                               {"error", "Initialize failed"}});
    return false;
  }
  clients_.push_back({clsid, std::move(client)});
  Log("rule-client-loaded", {{"clsid", ClassText(clsid)}, {"access", access}});
  return true;
}

void MessagingService::RefreshRuleClients() {
  std::vector<CLSID> registered = RegisteredClasses();
  if (registered != lastRegistered_) failed_.clear();
  lastRegistered_ = registered;
  bool dropped = false;
  for (auto it = clients_.begin(); it != clients_.end();) {
    bool still = false;
    for (const CLSID& clsid : registered) still = still || clsid == it->clsid;
    if (still) {
      ++it;
      continue;
    }
    Log("rule-client-unloaded", {{"clsid", ClassText(it->clsid)}});
    it = clients_.erase(it);
    dropped = true;
  }
  if (dropped) runtime_->CoFreeUnusedLibraries();
  for (const CLSID& clsid : registered) {
    bool loaded = false;
    for (const LoadedClient& known : clients_) loaded = loaded || known.clsid == clsid;
    if (loaded || failed_.count(clsid) != 0) continue;
    if (!Load(clsid)) failed_.insert(clsid);
  }
}

std::optional<SmsOutcome> MessagingService::Deliver(std::u16string_view from,
                                                    std::u16string_view text,
                                                    uint64_t deliveryTime, std::string* error) {
  RefreshRuleClients();
  PhoneMessage message;
  message.folder = PhoneFolder::Inbox;
  message.sender = std::u16string(from);
  message.text = std::u16string(text);
  message.deliveryTime = deliveryTime;
  std::optional<int64_t> id = database_->AddMessage(message);
  if (!id) {
    *error = "the inbox cannot take the message: " + database_->LastError();
    return std::nullopt;
  }
  auto messageId = EncodeEntryId({EntryKind::Message, static_cast<uint32_t>(storeId_),
                                  static_cast<uint64_t>(*id)});
  auto folderId = EncodeEntryId({EntryKind::Folder, static_cast<uint32_t>(storeId_),
                                 static_cast<uint64_t>(PhoneFolder::Inbox)});
  SmsOutcome outcome;
  outcome.id = *id;
  nlohmann::json calls = nlohmann::json::array();
  for (LoadedClient& loaded : clients_) {
    ULONG eventType = 0;
    MRCHANDLED handled = MRC_NOT_HANDLED;
    HRESULT hr = loaded.client->ProcessMessage(
        store_.Get(), kEntryIdSize, reinterpret_cast<const ENTRYID*>(messageId.data()),
        kEntryIdSize, reinterpret_cast<const ENTRYID*>(folderId.data()), &eventType, &handled);
    calls.push_back({{"clsid", ClassText(loaded.clsid)}, {"result", HresultText(hr)},
                     {"handled", handled}, {"eventType", eventType}});
    // What a failing client leaves in its outputs is not to be trusted.
    if (FAILED(hr)) continue;
    if (handled != MRC_NOT_HANDLED) outcome.handled = true;
    if (handled == MRC_HANDLED_DONTCONTINUE) break;
  }
  // The store itself says whether the message is gone: a client may delete it without saying.
  std::optional<PhoneMessage> still = database_->GetMessage(*id);
  outcome.deleted = !still.has_value() && database_->LastError().empty();
  Log("sms-in", {{"id", *id},
                 {"from", ToUtf8(from)},
                 {"outcome", outcome.deleted ? "deleted" : "kept"},
                 {"handled", outcome.handled},
                 {"ruleClients", calls}});
  return outcome;
}

std::vector<std::string> MessagingService::RuleClients() const {
  std::vector<std::string> classes;
  for (const LoadedClient& loaded : clients_) classes.push_back(ClassText(loaded.clsid));
  return classes;
}

}  // namespace brevalo
