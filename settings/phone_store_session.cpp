#include "settings/phone_store_session.h"

#include <string_view>

#include "device/mapi_holders.h"
#include "device/mapi_session.h"

namespace brevalo {
namespace {

constexpr std::u16string_view kSmsStore = u"SMS";

// The store property that holds the entry id of each folder type; 0 for an unknown type.
ULONG FolderEntryIdTag(int folderType) {
  switch (folderType) {
    case 0: return PR_SMS_INBOX_ENTRYID;
    case 1: return PR_SMS_THIRD_FOLDER_ENTRYID;
    case 2: return PR_IPM_SENTMAIL_ENTRYID;
    default: return 0;
  }
}

template <typename T>
void ReleaseAndClear(T*& object) {
  if (object != nullptr) object->Release();
  object = nullptr;
}

}  // namespace

PhoneStoreSession::~PhoneStoreSession() {
  if (session_ != nullptr) session_->Logoff(0, 0, 0);
  if (initialized_) MAPIUninitialize();
  ReleaseAndClear(folder_);
  ReleaseAndClear(store_);
  ReleaseAndClear(session_);
}

bool PhoneStoreSession::Open(int folderType) {
  if (MAPIInitialize(nullptr) != S_OK) return false;
  initialized_ = true;
  if (MAPILogonEx(0, nullptr, nullptr, 0, &session_) != S_OK) return false;
  return FindSmsStore() && OpenFolder(folderType);
}

bool PhoneStoreSession::FindSmsStore() {
  IMAPITable* table = nullptr;
  if (session_->GetMsgStoresTable(MAPI_UNICODE, &table) != S_OK) return false;
  for (;;) {
    MapiRows rows;
    if (table->QueryRows(1, 0, rows.Slot()) != S_OK || rows.Count() == 0) break;
    const SRow& row = rows.Row(0);
    const SPropValue* id = nullptr;
    for (ULONG i = 0; i < row.cValues; ++i) {
      if (row.lpProps[i].ulPropTag == PR_ENTRYID) id = &row.lpProps[i];
    }
    if (id == nullptr) continue;
    IMsgStore* store = nullptr;
    if (session_->OpenMsgStore(0, id->Value.bin.cb, reinterpret_cast<const ENTRYID*>(id->Value.bin.lpb),
                               nullptr, MDB_NO_DIALOG, &store) != S_OK) {
      continue;
    }
    // The name the store itself gives, not the table's: that is what "SMS" is matched against.
    SizedSPropTagArray<1> nameTag{1, {PR_DISPLAY_NAME}};
    MapiProps name;
    HRESULT read = store->GetProps(nameTag.get(), MAPI_UNICODE, name.CountSlot(), name.ValuesSlot());
    const SPropValue* value = SUCCEEDED(read) ? name.Find(0, PR_DISPLAY_NAME) : nullptr;
    if (value != nullptr && value->Value.lpszW != nullptr && std::u16string_view(value->Value.lpszW) == kSmsStore) {
      store_ = store;
      break;
    }
    store->Release();
  }
  table->Release();
  return store_ != nullptr;
}

bool PhoneStoreSession::OpenFolder(int folderType) {
  const ULONG tag = FolderEntryIdTag(folderType);
  if (tag == 0) return false;
  SizedSPropTagArray<1> tags{1, {tag}};
  MapiProps id;
  if (FAILED(store_->GetProps(tags.get(), MAPI_UNICODE, id.CountSlot(), id.ValuesSlot()))) return false;
  const SPropValue* value = id.Find(0, tag);
  if (value == nullptr) return false;
  ULONG type = 0;
  IUnknown* folder = nullptr;
  if (store_->OpenEntry(value->Value.bin.cb, reinterpret_cast<const ENTRYID*>(value->Value.bin.lpb),
                        nullptr, MAPI_MODIFY, &type, &folder) != S_OK) {
    return false;
  }
  if (type != MAPI_FOLDER) {
    folder->Release();
    return false;
  }
  // With no interface asked for, the object is the folder interface itself.
  folder_ = static_cast<IMAPIFolder*>(folder);
  return true;
}

}  // namespace brevalo
