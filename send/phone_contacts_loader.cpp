#include "send/phone_contacts_loader.h"

#include "device/com_ptr.h"
#include "device/com_runtime.h"
#include "device/registry.h"
#include "settings/program_folder.h"

namespace brevalo {
namespace {

using TextGetter = HRESULT (IContactItem::*)(ComString*);

// A property that cannot be read counts as empty: one odd item must not hide the others.
std::u16string ReadText(IContactItem& item, TextGetter getter) {
  ComStringHolder text;
  if (FAILED((item.*getter)(text.Put()))) return {};
  return text.Text();
}

void ReadItem(IContactItem& item, ContactDirectory& directory) {
  std::u16string categories = ReadText(item, &IContactItem::GetCategories);
  std::u16string name = ReadText(item, &IContactItem::GetDisplayName);
  directory.AddContact(std::move(name), categories,
                       {ReadText(item, &IContactItem::GetMobileTelephoneNumber),
                        ReadText(item, &IContactItem::GetHomeTelephoneNumber),
                        ReadText(item, &IContactItem::GetBusinessTelephoneNumber)});
}

}  // namespace

HRESULT ReadContactItems(IContactsApplication& application, ContactDirectory& directory) {
  ComPtr<IContactsFolder> folder;
  HRESULT hr = application.GetDefaultFolder(kContactsFolderId,
                                            reinterpret_cast<IContactsFolder**>(folder.PutVoid()));
  if (FAILED(hr)) return hr;
  ComPtr<IContactItems> items;
  hr = folder->GetItems(reinterpret_cast<IContactItems**>(items.PutVoid()));
  if (FAILED(hr)) return hr;
  int32_t count = 0;
  hr = items->GetCount(&count);
  if (FAILED(hr)) return hr;
  for (int32_t index = 1; index <= count; ++index) {
    ComPtr<IContactItem> item;
    hr = items->Item(index, reinterpret_cast<IContactItem**>(item.PutVoid()));
    if (FAILED(hr) || !item) continue;
    ReadItem(*item, directory);
  }
  return S_OK;
}

namespace {

void LoadFromDevice(const Device& device, ContactDirectory& directory) {
  Registry registry(device.RegistryFile());
  if (!registry.Load()) return;
  // The runtime lives for this load only: the server is unloaded again once its objects are
  // gone, as when a thread ends its use of the component library.
  ComRuntime runtime(device, registry, ProgramFolder());
  ComPtr<IContactsApplication> application;
  if (FAILED(runtime.CoCreateInstance(CLSID_ContactsApplication, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IContactsApplication, application.PutVoid()))) {
    return;
  }
  if (FAILED(application->Logon(0))) return;
  ReadContactItems(*application, directory);
  application->Logoff();
}

}  // namespace

ContactDirectory::Loader PhoneContactsLoader(const Device& device) {
  return [&device](ContactDirectory& directory) { LoadFromDevice(device, directory); };
}

}  // namespace brevalo
