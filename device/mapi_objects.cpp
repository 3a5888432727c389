#include "device/mapi_objects.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "device/mapi_entry_id.h"
#include "device/mapi_memory.h"
#include "device/mapi_properties.h"

namespace brevalo {
namespace {

// Reference counting and QueryInterface shared by every object; Derived names the interfaces
// it answers to besides IUnknown with a static Answers(iid).
template <typename Derived, typename Interface>
class MapiObject : public Interface {
 public:
  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (object == nullptr) return E_INVALIDARG;
    if (iid == IID_IUnknown || Derived::Answers(iid)) {
      AddRef();
      *object = static_cast<Interface*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  uint32_t AddRef() override { return references_.fetch_add(1) + 1; }
  uint32_t Release() override {
    uint32_t left = references_.fetch_sub(1) - 1;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

  // Whether OpenEntry-style calls may hand this object out for `iid` (nullptr: its own).
  static bool Accepts(const IID* iid) {
    return iid == nullptr || *iid == IID_IUnknown || Derived::Answers(*iid);
  }

 private:
  std::atomic<uint32_t> references_{1};
};

std::vector<uint8_t> EntryIdBytes(const EntryId& id) {
  auto bytes = EncodeEntryId(id);
  return {bytes.begin(), bytes.end()};
}

std::u16string_view FolderDisplayName(PhoneFolder folder) {
  switch (folder) {
    case PhoneFolder::Inbox:
      return u"Inbox";
    case PhoneFolder::Sent:
      return u"Sent Items";
    case PhoneFolder::Other:
      break;
  }
  return u"Other";
}

std::optional<PhoneFolder> FolderOfType(uint64_t type) {
  for (PhoneFolder folder : {PhoneFolder::Inbox, PhoneFolder::Other, PhoneFolder::Sent}) {
    if (static_cast<uint64_t>(folder) == type) return folder;
  }
  return std::nullopt;
}

MapiPropertyList MessageProperties(uint32_t storeId, const PhoneMessage& message) {
  EntryId id{EntryKind::Message, storeId, static_cast<uint64_t>(message.id)};
  return {
      MapiProperty::Binary(PR_ENTRYID, EntryIdBytes(id)),
      MapiProperty::Number(PR_OBJECT_TYPE, MAPI_MESSAGE),
      MapiProperty::Text(PR_SUBJECT, message.text),
      MapiProperty::Text(PR_BODY, message.text),
      MapiProperty::Text(PR_SENDER_EMAIL_ADDRESS, message.sender),
      MapiProperty::Time(PR_MESSAGE_DELIVERY_TIME, message.deliveryTime),
      MapiProperty::Number(PR_MESSAGE_FLAGS, message.flags),
      MapiProperty::Text(PR_MESSAGE_CLASS, message.messageClass),
  };
}

HRESULT GetPropsOf(const MapiPropertyList& properties, const SPropTagArray* tags, ULONG* count,
                   SPropValue** values) {
  std::optional<std::vector<ULONG>> wanted = TagsOf(tags);
  if (tags != nullptr && !wanted) return MAPI_E_INVALID_PARAMETER;
  return PackProperties(properties, wanted ? &*wanted : nullptr, count, values);
}

// Forward-only rows with the columns a caller chose.
class RowTable final : public MapiObject<RowTable, IMAPITable> {
 public:
  RowTable(std::vector<MapiPropertyList> rows, std::vector<ULONG> columns)
      : rows_(std::move(rows)), columns_(std::move(columns)) {}

  static bool Answers(const IID& iid) { return iid == IID_IMAPITable; }

  HRESULT SetColumns(const SPropTagArray* columns, ULONG) override {
    std::optional<std::vector<ULONG>> tags = TagsOf(columns);
    if (!tags) return MAPI_E_INVALID_PARAMETER;
    columns_ = std::move(*tags);
    return S_OK;
  }

  HRESULT QueryRows(LONG rowCount, ULONG, SRowSet** rows) override {
    if (rows == nullptr) return MAPI_E_INVALID_PARAMETER;
    *rows = nullptr;
    if (rowCount <= 0) return MAPI_E_INVALID_PARAMETER;
    size_t count = std::min<size_t>(static_cast<size_t>(rowCount), rows_.size() - next_);
    size_t size = offsetof(SRowSet, aRow) + std::max<size_t>(count, 1) * sizeof(SRow);
    void* buffer = nullptr;
    if (SCODE allocated = MAPIAllocateBuffer(static_cast<ULONG>(size), &buffer);
        allocated != S_OK) {
      return allocated;
    }
    auto* set = static_cast<SRowSet*>(buffer);
    SRow* out = &set->aRow[0];
    for (size_t i = 0; i < count; ++i) {
      HRESULT packed =
          PackProperties(rows_[next_ + i], &columns_, &out[i].cValues, &out[i].lpProps);
      if (FAILED(packed)) {
        FreeProws(set);
        return packed;
      }
      set->cRows = static_cast<ULONG>(i + 1);
    }
    next_ += count;
    *rows = set;
    return S_OK;
  }

 private:
  std::vector<MapiPropertyList> rows_;
  std::vector<ULONG> columns_;
  size_t next_ = 0;
};

HRESULT HandOutTable(std::vector<MapiPropertyList> rows, std::vector<ULONG> columns,
                     IMAPITable** table) {
  *table = new (std::nothrow) RowTable(std::move(rows), std::move(columns));
  return *table != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
}

// A string property read as a stream: its UTF-16 units, little-endian, without terminator.
class TextStream final : public MapiObject<TextStream, IStream> {
 public:
  explicit TextStream(const std::u16string& text) {
    bytes_.reserve(text.size() * 2);
    for (char16_t unit : text) {
      bytes_.push_back(static_cast<uint8_t>(unit & 0xFF));
      bytes_.push_back(static_cast<uint8_t>(unit >> 8));
    }
  }

  static bool Answers(const IID& iid) { return iid == IID_IStream; }

  HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
    if (read != nullptr) *read = 0;
    if (buffer == nullptr && size > 0) return E_POINTER;
    size_t count = std::min<size_t>(size, bytes_.size() - position_);
    if (count > 0) std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    if (read != nullptr) *read = static_cast<ULONG>(count);
    return S_OK;
  }

 private:
  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
};

class Message final : public MapiObject<Message, IMessage> {
 public:
  explicit Message(MapiPropertyList properties) : properties_(std::move(properties)) {}

  static bool Answers(const IID& iid) { return iid == IID_IMessage || iid == IID_IMAPIProp; }

  HRESULT GetProps(const SPropTagArray* tags, ULONG, ULONG* count, SPropValue** values) override {
    return GetPropsOf(properties_, tags, count, values);
  }

  HRESULT OpenProperty(ULONG tag, const IID* iid, ULONG, ULONG flags,
                       IUnknown** object) override {
    if (object == nullptr || iid == nullptr) return MAPI_E_INVALID_PARAMETER;
    *object = nullptr;
    if (*iid != IID_IStream) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    // The phone's store is read-only to its callers; a stream to write into would lose data.
    if ((flags & (MAPI_CREATE | MAPI_MODIFY)) != 0) return MAPI_E_NO_ACCESS;
    const MapiProperty* property = FindProperty(properties_, tag);
    if (property == nullptr || PROP_TYPE(property->tag) != PT_UNICODE) return MAPI_E_NOT_FOUND;
    auto* stream = new (std::nothrow) TextStream(property->text);
    if (stream == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
    *object = stream;
    return S_OK;
  }

 private:
  MapiPropertyList properties_;
};

class Folder final : public MapiObject<Folder, IMAPIFolder> {
 public:
  Folder(std::shared_ptr<PhoneDatabase> database, uint32_t storeId, PhoneFolder folder)
      : database_(std::move(database)), storeId_(storeId), folder_(folder) {}

  static bool Answers(const IID& iid) { return iid == IID_IMAPIFolder || iid == IID_IMAPIProp; }

  HRESULT GetProps(const SPropTagArray* tags, ULONG, ULONG* count, SPropValue** values) override {
    EntryId id{EntryKind::Folder, storeId_, static_cast<uint64_t>(folder_)};
    MapiPropertyList properties{
        MapiProperty::Binary(PR_ENTRYID, EntryIdBytes(id)),
        MapiProperty::Number(PR_OBJECT_TYPE, MAPI_FOLDER),
        MapiProperty::Text(PR_DISPLAY_NAME, std::u16string(FolderDisplayName(folder_))),
    };
    std::vector<PhoneMessage> messages;
    if (database_->ListMessages(folder_, &messages)) {
      properties.push_back(
          MapiProperty::Number(PR_CONTENT_COUNT, static_cast<ULONG>(messages.size())));
    }
    return GetPropsOf(properties, tags, count, values);
  }

  HRESULT OpenProperty(ULONG, const IID*, ULONG, ULONG, IUnknown** object) override {
    if (object != nullptr) *object = nullptr;
    return MAPI_E_NO_SUPPORT;
  }

  HRESULT GetContentsTable(ULONG, IMAPITable** table) override {
    if (table == nullptr) return MAPI_E_INVALID_PARAMETER;
    *table = nullptr;
    std::vector<PhoneMessage> messages;
    if (!database_->ListMessages(folder_, &messages)) return MAPI_E_CALL_FAILED;
    std::vector<MapiPropertyList> rows;
    rows.reserve(messages.size());
    for (const PhoneMessage& message : messages) {
      rows.push_back(MessageProperties(storeId_, message));
    }
    return HandOutTable(std::move(rows),
                        {PR_ENTRYID, PR_SUBJECT, PR_SENDER_EMAIL_ADDRESS,
                         PR_MESSAGE_DELIVERY_TIME, PR_MESSAGE_FLAGS, PR_MESSAGE_CLASS},
                        table);
  }

  HRESULT DeleteMessages(const ENTRYLIST* messages, ULONG_PTR, IMAPIProgress*, ULONG) override {
    if (messages == nullptr || (messages->cValues > 0 && messages->lpbin == nullptr)) {
      return MAPI_E_INVALID_PARAMETER;
    }
    ULONG deleted = 0;
    bool storeFailed = false;
    for (ULONG i = 0; i < messages->cValues; ++i) {
      const SBinary& entry = messages->lpbin[i];
      std::optional<EntryId> id = DecodeEntryId(entry.lpb, entry.cb);
      if (!id || id->kind != EntryKind::Message || id->store != storeId_) continue;
      if (database_->DeleteMessage(static_cast<int64_t>(id->object), folder_)) {
        ++deleted;
      } else if (!database_->LastError().empty()) {
        storeFailed = true;
      }
    }
    if (deleted == messages->cValues) return S_OK;
    if (deleted > 0) return MAPI_W_PARTIAL_COMPLETION;
    return storeFailed ? MAPI_E_CALL_FAILED : MAPI_E_NOT_FOUND;
  }

 private:
  std::shared_ptr<PhoneDatabase> database_;
  uint32_t storeId_;
  PhoneFolder folder_;
};

class Store final : public MapiObject<Store, IMsgStore> {
 public:
  Store(std::shared_ptr<PhoneDatabase> database, PhoneStore store)
      : database_(std::move(database)), store_(std::move(store)) {}

  static bool Answers(const IID& iid) { return iid == IID_IMsgStore || iid == IID_IMAPIProp; }

  HRESULT GetProps(const SPropTagArray* tags, ULONG, ULONG* count, SPropValue** values) override {
    MapiPropertyList properties{
        MapiProperty::Binary(PR_ENTRYID, EntryIdBytes({EntryKind::Store, StoreId(), 0})),
        MapiProperty::Number(PR_OBJECT_TYPE, MAPI_STORE),
        MapiProperty::Text(PR_DISPLAY_NAME, store_.name),
    };
    if (HasFolders()) {
      properties.push_back(FolderEntry(PR_SMS_INBOX_ENTRYID, PhoneFolder::Inbox));
      properties.push_back(FolderEntry(PR_SMS_THIRD_FOLDER_ENTRYID, PhoneFolder::Other));
      properties.push_back(FolderEntry(PR_IPM_SENTMAIL_ENTRYID, PhoneFolder::Sent));
    }
    return GetPropsOf(properties, tags, count, values);
  }

  HRESULT OpenProperty(ULONG, const IID*, ULONG, ULONG, IUnknown** object) override {
    if (object != nullptr) *object = nullptr;
    return MAPI_E_NO_SUPPORT;
  }

  HRESULT OpenEntry(ULONG entryIdSize, const ENTRYID* entryId, const IID* iid, ULONG,
                    ULONG* objectType, IUnknown** object) override {
    if (object == nullptr) return MAPI_E_INVALID_PARAMETER;
    *object = nullptr;
    std::optional<EntryId> id =
        DecodeEntryId(reinterpret_cast<const uint8_t*>(entryId), entryIdSize);
    if (!id || id->store != StoreId()) return MAPI_E_INVALID_ENTRYID;
    switch (id->kind) {
      case EntryKind::Store:
        if (!Accepts(iid)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
        AddRef();
        return HandOut(this, MAPI_STORE, objectType, object);
      case EntryKind::Folder:
        return OpenFolder(id->object, iid, objectType, object);
      case EntryKind::Message:
        return OpenMessage(id->object, iid, objectType, object);
    }
    return MAPI_E_INVALID_ENTRYID;
  }

 private:
  uint32_t StoreId() const { return static_cast<uint32_t>(store_.id); }
  // Only the SMS store holds the phone's messages; other stores are listed but empty.
  bool HasFolders() const { return store_.name == kSmsStoreName; }

  MapiProperty FolderEntry(ULONG tag, PhoneFolder folder) const {
    return MapiProperty::Binary(
        tag, EntryIdBytes({EntryKind::Folder, StoreId(), static_cast<uint64_t>(folder)}));
  }

  static HRESULT HandOut(IUnknown* made, ULONG type, ULONG* objectType, IUnknown** object) {
    if (made == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
    if (objectType != nullptr) *objectType = type;
    *object = made;
    return S_OK;
  }

  HRESULT OpenFolder(uint64_t type, const IID* iid, ULONG* objectType, IUnknown** object) {
    std::optional<PhoneFolder> folder = FolderOfType(type);
    if (!HasFolders() || !folder) return MAPI_E_NOT_FOUND;
    if (!Folder::Accepts(iid)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    return HandOut(new (std::nothrow) Folder(database_, StoreId(), *folder), MAPI_FOLDER,
                   objectType, object);
  }

  HRESULT OpenMessage(uint64_t number, const IID* iid, ULONG* objectType, IUnknown** object) {
    if (!HasFolders()) return MAPI_E_NOT_FOUND;
    if (!Message::Accepts(iid)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    std::optional<PhoneMessage> message = database_->GetMessage(static_cast<int64_t>(number));
    if (!message) return database_->LastError().empty() ? MAPI_E_NOT_FOUND : MAPI_E_CALL_FAILED;
    return HandOut(new (std::nothrow) Message(MessageProperties(StoreId(), *message)),
                   MAPI_MESSAGE, objectType, object);
  }

  std::shared_ptr<PhoneDatabase> database_;
  PhoneStore store_;
};

class Session final : public MapiObject<Session, IMAPISession> {
 public:
  explicit Session(std::shared_ptr<PhoneDatabase> database) : database_(std::move(database)) {}

  static bool Answers(const IID& iid) { return iid == IID_IMAPISession; }

  HRESULT GetMsgStoresTable(ULONG, IMAPITable** table) override {
    if (table == nullptr) return MAPI_E_INVALID_PARAMETER;
    *table = nullptr;
    if (loggedOff_) return MAPI_E_END_OF_SESSION;
    std::vector<PhoneStore> stores;
    if (!database_->ListStores(&stores)) return MAPI_E_CALL_FAILED;
    std::vector<MapiPropertyList> rows;
    for (const PhoneStore& store : stores) {
      EntryId id{EntryKind::Store, static_cast<uint32_t>(store.id), 0};
      rows.push_back({MapiProperty::Binary(PR_ENTRYID, EntryIdBytes(id)),
                      MapiProperty::Text(PR_DISPLAY_NAME, store.name)});
    }
    return HandOutTable(std::move(rows), {PR_DISPLAY_NAME, PR_ENTRYID}, table);
  }

  HRESULT OpenMsgStore(ULONG_PTR, ULONG entryIdSize, const ENTRYID* entryId, const IID* iid,
                       ULONG, IMsgStore** store) override {
    if (store == nullptr) return MAPI_E_INVALID_PARAMETER;
    *store = nullptr;
    if (loggedOff_) return MAPI_E_END_OF_SESSION;
    std::optional<EntryId> id =
        DecodeEntryId(reinterpret_cast<const uint8_t*>(entryId), entryIdSize);
    if (!id || id->kind != EntryKind::Store) return MAPI_E_INVALID_ENTRYID;
    if (!Store::Accepts(iid)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    std::optional<PhoneStore> found = database_->FindStore(id->store);
    if (!found) return database_->LastError().empty() ? MAPI_E_NOT_FOUND : MAPI_E_CALL_FAILED;
    *store = NewMapiStore(database_, std::move(*found));
    return *store != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
  }

  HRESULT Logoff(ULONG_PTR, ULONG, ULONG) override {
    loggedOff_ = true;
    return S_OK;
  }

 private:
  std::shared_ptr<PhoneDatabase> database_;
  bool loggedOff_ = false;
};

}  // namespace

IMAPISession* NewMapiSession(std::shared_ptr<PhoneDatabase> database) {
  return new (std::nothrow) Session(std::move(database));
}

IMsgStore* NewMapiStore(std::shared_ptr<PhoneDatabase> database, PhoneStore store) {
  return new (std::nothrow) Store(std::move(database), std::move(store));
}

}  // namespace brevalo
