#include "device/contacts_objects.h"

#include <atomic>
#include <memory>
#include <new>
#include <string>
#include <utility>

namespace brevalo {
namespace {

std::atomic<int32_t> liveObjects{0};
std::atomic<int32_t> serverLocks{0};

using Snapshot = std::shared_ptr<const std::vector<Contact>>;

// Reference counting and QueryInterface for one interface; Derived names it as kIid.
template <typename Derived, typename Interface>
class CountedObject : public Interface {
 public:
  CountedObject() { ++liveObjects; }
  CountedObject(const CountedObject&) = delete;
  CountedObject& operator=(const CountedObject&) = delete;

  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == Derived::kIid) {
      *object = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  uint32_t AddRef() override { return ++references_; }
  uint32_t Release() override {
    uint32_t left = --references_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

 protected:
  ~CountedObject() { --liveObjects; }

 private:
  std::atomic<uint32_t> references_{1};
};

// Makes an object and hands it out as `iid`; the caller's reference is the only one left.
template <typename Object, typename... Args>
HRESULT HandOut(const IID& iid, void** object, Args&&... args) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  auto* made = new (std::nothrow) Object(std::forward<Args>(args)...);
  if (made == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = made->QueryInterface(iid, object);
  made->Release();
  return hr;
}

HRESULT GiveText(std::u16string_view value, ComString* text) {
  if (text == nullptr) return E_POINTER;
  *text = nullptr;
  if (value.empty()) return S_OK;
  *text = ComStringAlloc(value);
  return *text != nullptr ? S_OK : E_OUTOFMEMORY;
}

class ContactItem final : public CountedObject<ContactItem, IContactItem> {
 public:
  static constexpr const IID& kIid = IID_IContactItem;
  ContactItem(Snapshot contacts, size_t index) : contacts_(std::move(contacts)), index_(index) {}

  HRESULT GetCategories(ComString* text) override { return GiveText(CategoriesText(Get()), text); }
  HRESULT GetDisplayName(ComString* text) override { return GiveText(Get().name, text); }
  HRESULT GetMobileTelephoneNumber(ComString* text) override { return GiveText(Get().mobile, text); }
  HRESULT GetHomeTelephoneNumber(ComString* text) override { return GiveText(Get().home, text); }
  HRESULT GetBusinessTelephoneNumber(ComString* text) override { return GiveText(Get().work, text); }

 private:
  const Contact& Get() const { return (*contacts_)[index_]; }
  Snapshot contacts_;
  size_t index_;
};

class ContactItems final : public CountedObject<ContactItems, IContactItems> {
 public:
  static constexpr const IID& kIid = IID_IContactItems;
  explicit ContactItems(Snapshot contacts) : contacts_(std::move(contacts)) {}

  HRESULT GetCount(int32_t* count) override {
    if (count == nullptr) return E_POINTER;
    *count = static_cast<int32_t>(contacts_->size());
    return S_OK;
  }
  HRESULT Item(int32_t index, IContactItem** item) override {
    if (item == nullptr) return E_POINTER;
    *item = nullptr;
    if (index < 1 || static_cast<size_t>(index) > contacts_->size()) return E_INVALIDARG;
    return HandOut<ContactItem>(IID_IContactItem, reinterpret_cast<void**>(item), contacts_,
                                static_cast<size_t>(index - 1));
  }

 private:
  Snapshot contacts_;
};

class ContactsFolder final : public CountedObject<ContactsFolder, IContactsFolder> {
 public:
  static constexpr const IID& kIid = IID_IContactsFolder;
  explicit ContactsFolder(Snapshot contacts) : contacts_(std::move(contacts)) {}

  HRESULT GetItems(IContactItems** items) override {
    return HandOut<ContactItems>(IID_IContactItems, reinterpret_cast<void**>(items), contacts_);
  }

 private:
  Snapshot contacts_;
};

class ContactsApplication final : public CountedObject<ContactsApplication, IContactsApplication> {
 public:
  static constexpr const IID& kIid = IID_IContactsApplication;
  explicit ContactsApplication(ContactsReader reader) : reader_(std::move(reader)) {}

  HRESULT Logon(intptr_t) override {
    std::optional<std::vector<Contact>> contacts = reader_ ? reader_() : std::nullopt;
    if (!contacts) return E_FAIL;
    contacts_ = std::make_shared<const std::vector<Contact>>(std::move(*contacts));
    return S_OK;
  }
  HRESULT Logoff() override {
    contacts_.reset();
    return S_OK;
  }
  HRESULT GetDefaultFolder(int32_t folderId, IContactsFolder** folder) override {
    if (folder == nullptr) return E_POINTER;
    *folder = nullptr;
    if (folderId != kContactsFolderId) return E_INVALIDARG;
    if (!contacts_) return CONTACTS_E_NOT_LOGGED_ON;
    return HandOut<ContactsFolder>(IID_IContactsFolder, reinterpret_cast<void**>(folder),
                                   contacts_);
  }

 private:
  ContactsReader reader_;
  Snapshot contacts_;
};

class ContactsFactory final : public CountedObject<ContactsFactory, IClassFactory> {
 public:
  static constexpr const IID& kIid = IID_IClassFactory;
  explicit ContactsFactory(ContactsReader reader) : reader_(std::move(reader)) {}

  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return CreateContactsApplication(reader_, iid, object);
  }
  HRESULT LockServer(bool lock) override {
    serverLocks += lock ? 1 : -1;
    return S_OK;
  }

 private:
  ContactsReader reader_;
};

}  // namespace

HRESULT CreateContactsApplication(ContactsReader reader, const IID& iid, void** object) {
  return HandOut<ContactsApplication>(iid, object, std::move(reader));
}

HRESULT GetContactsClassObject(const CLSID& clsid, const IID& iid, void** object,
                               ContactsReader reader) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (clsid != CLSID_ContactsApplication) return CLASS_E_CLASSNOTAVAILABLE;
  return HandOut<ContactsFactory>(iid, object, std::move(reader));
}

int32_t ContactsObjectsAlive() { return liveObjects; }
int32_t ContactsServerLocks() { return serverLocks; }

}  // namespace brevalo
