// The device's contacts server as a program meets it: installed in \Windows\, registered under
// HKEY_CLASSES_ROOT, created through the COM runtime and read over the device's contact file.
#include <gtest/gtest.h>

#include "device/com_ptr.h"
#include "device/com_runtime.h"
#include "device/com_test_support.h"
#include "device/contacts_application.h"
#include "device/contacts_registration.h"
#include "device/kernel_test_support.h"
#include "device/phone_contacts.h"

namespace brevalo {
namespace {

namespace fs = std::filesystem;

class ContactsServerTest : public ::testing::Test {
 protected:
  ContactsServerTest() : registry_(temp_.device().RegistryFile()) {
    testing::InstallFile(device(), BREVALO_CONTACTS_SERVER, "Windows/contacts.dll");
    EXPECT_TRUE(RegisterContactsServer(registry_));
  }
  const Device& device() { return temp_.device(); }

  ComPtr<IContactsApplication> Create(ComRuntime& runtime) {
    ComPtr<IContactsApplication> application;
    EXPECT_EQ(runtime.CoCreateInstance(CLSID_ContactsApplication, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IContactsApplication, application.PutVoid()),
              S_OK)
        << runtime.LastError();
    return application;
  }

  static ComPtr<IContactItems> Items(IContactsApplication& application) {
    ComPtr<IContactsFolder> folder;
    EXPECT_EQ(application.GetDefaultFolder(kContactsFolderId,
                                           reinterpret_cast<IContactsFolder**>(folder.PutVoid())),
              S_OK);
    ComPtr<IContactItems> items;
    if (folder) folder->GetItems(reinterpret_cast<IContactItems**>(items.PutVoid()));
    return items;
  }

  static std::u16string Text(IContactItem& item, HRESULT (IContactItem::*getter)(ComString*)) {
    ComStringHolder text;
    EXPECT_EQ((item.*getter)(text.Put()), S_OK);
    return text.Text();
  }

  testing::TempDevice temp_;
  Registry registry_;
};

TEST_F(ContactsServerTest, HandsOutTheDevicesContactsInFileOrder) {
  std::string error;
  ASSERT_TRUE(PhoneContacts::Save(device(),
                                  {{u"Ann Lee", u"+111", u"", u"", {u"Friends"}},
                                   {u"Bob", u"", u"222", u"333", {u"Work", u"Friends"}}},
                                  &error));
  ComRuntime runtime(device(), registry_);
  ComPtr<IContactsApplication> application = Create(runtime);
  ASSERT_TRUE(application);
  ASSERT_EQ(application->Logon(0), S_OK);
  ComPtr<IContactItems> items = Items(*application);
  ASSERT_TRUE(items);
  int32_t count = 0;
  ASSERT_EQ(items->GetCount(&count), S_OK);
  ASSERT_EQ(count, 2);

  ComPtr<IContactItem> bob;
  ASSERT_EQ(items->Item(2, reinterpret_cast<IContactItem**>(bob.PutVoid())), S_OK);
  EXPECT_EQ(Text(*bob, &IContactItem::GetDisplayName), u"Bob");
  EXPECT_EQ(Text(*bob, &IContactItem::GetCategories), u"Work, Friends");
  EXPECT_EQ(Text(*bob, &IContactItem::GetMobileTelephoneNumber), u"");
  EXPECT_EQ(Text(*bob, &IContactItem::GetHomeTelephoneNumber), u"222");
  EXPECT_EQ(Text(*bob, &IContactItem::GetBusinessTelephoneNumber), u"333");

  ComPtr<IContactItem> none;
  EXPECT_EQ(items->Item(0, reinterpret_cast<IContactItem**>(none.PutVoid())), E_INVALIDARG);
  EXPECT_EQ(items->Item(3, reinterpret_cast<IContactItem**>(none.PutVoid())), E_INVALIDARG);
  EXPECT_FALSE(none);
  EXPECT_EQ(application->Logoff(), S_OK);
}

TEST_F(ContactsServerTest, RefusesOtherFoldersAndAFolderBeforeLogon) {
  ComRuntime runtime(device(), registry_);
  ComPtr<IContactsApplication> application = Create(runtime);
  ASSERT_TRUE(application);
  ComPtr<IContactsFolder> folder;
  EXPECT_EQ(application->GetDefaultFolder(kContactsFolderId,
                                          reinterpret_cast<IContactsFolder**>(folder.PutVoid())),
            CONTACTS_E_NOT_LOGGED_ON);
  ASSERT_EQ(application->Logon(0), S_OK);  // no contact file yet: an empty list
  EXPECT_EQ(application->GetDefaultFolder(9, reinterpret_cast<IContactsFolder**>(folder.PutVoid())),
            E_INVALIDARG);
  EXPECT_FALSE(folder);
  ComPtr<IContactItems> items = Items(*application);
  int32_t count = -1;
  ASSERT_TRUE(items);
  EXPECT_EQ(items->GetCount(&count), S_OK);
  EXPECT_EQ(count, 0);
}

TEST_F(ContactsServerTest, LogonFailsWhenTheContactFileCannotBeRead) {
  fs::create_directories(PhoneContacts::FileOf(device()));  // a folder where the file belongs
  ComRuntime runtime(device(), registry_);
  ComPtr<IContactsApplication> application = Create(runtime);
  ASSERT_TRUE(application);
  EXPECT_EQ(application->Logon(0), E_FAIL);
}

// The server works on the device of the runtime that mapped it, not on $VELMORA_DEVICE.
TEST_F(ContactsServerTest, ReadsTheDeviceOfTheRuntimeThatLoadedIt) {
  testing::TempDevice other;
  std::string error;
  ASSERT_TRUE(PhoneContacts::Save(other.device(), {{u"Elsewhere", u"1", u"", u"", {}}}, &error));
  ASSERT_TRUE(PhoneContacts::Save(device(), {{u"Here", u"2", u"", u"", {}}}, &error));
  setenv("VELMORA_DEVICE", other.dir().c_str(), 1);
  ComRuntime runtime(device(), registry_);
  ComPtr<IContactsApplication> application = Create(runtime);
  unsetenv("VELMORA_DEVICE");
  ASSERT_TRUE(application);
  ASSERT_EQ(application->Logon(0), S_OK);
  ComPtr<IContactItem> item;
  ASSERT_EQ(Items(*application)->Item(1, reinterpret_cast<IContactItem**>(item.PutVoid())), S_OK);
  EXPECT_EQ(Text(*item, &IContactItem::GetDisplayName), u"Here");
}

TEST_F(ContactsServerTest, TheServerGoesOnceItsLastObjectIsReleased) {
  ComRuntime runtime(device(), registry_);
  ComPtr<IContactsApplication> application = Create(runtime);
  ASSERT_TRUE(application);
  ASSERT_EQ(application->Logon(0), S_OK);
  ComPtr<IContactItems> items = Items(*application);
  application.Reset();
  EXPECT_EQ(runtime.CoFreeUnusedLibraries(), 0u);  // the collection still lives
  items.Reset();
  EXPECT_EQ(runtime.CoFreeUnusedLibraries(), 1u);
  EXPECT_FALSE(testing::IsMapped(device().FsRoot() / "Windows/contacts.dll"));
}

TEST_F(ContactsServerTest, AnUnregisteredServerCannotBeCreated) {
  ASSERT_TRUE(registry_.DeleteKey(RegRoot::ClassesRoot,
                                  u"CLSID\\" + FormatGuid(CLSID_ContactsApplication)));
  ComRuntime runtime(device(), registry_);
  void* object = nullptr;
  EXPECT_EQ(runtime.CoCreateInstance(CLSID_ContactsApplication, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IContactsApplication, &object),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
}

}  // namespace
}  // namespace brevalo
