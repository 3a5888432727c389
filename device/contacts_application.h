// The phone's contacts as a COM class: an application object that a program creates with
// CoCreateInstance, logs on to, and asks for the default contacts folder, whose item collection
// holds one item per contact. Shared by the device's server (\Windows\contacts.dll) and its
// callers, as a server's header is.
//
// Texts go out as ComString (device/com_string.h), owned by the caller. An empty property is
// handed out as nullptr with S_OK.
#pragma once

#include <cstdint>

#include "device/com_string.h"
#include "device/unknown.h"

namespace brevalo {

constexpr CLSID CLSID_ContactsApplication{0x05058F23, 0x20BE, 0x11D2,
                                          {0x8F, 0x18, 0x00, 0x00, 0xF8, 0x7A, 0x43, 0x35}};
constexpr IID IID_IContactsApplication{0x05058F22, 0x20BE, 0x11D2,
                                       {0x8F, 0x18, 0x00, 0x00, 0xF8, 0x7A, 0x43, 0x35}};
constexpr IID IID_IContactsFolder{0x3A1D7C40, 0x5E21, 0x4B0A,
                                  {0x9C, 0x55, 0x10, 0x2F, 0x6E, 0x81, 0xA4, 0x01}};
constexpr IID IID_IContactItems{0x3A1D7C41, 0x5E21, 0x4B0A,
                                {0x9C, 0x55, 0x10, 0x2F, 0x6E, 0x81, 0xA4, 0x01}};
constexpr IID IID_IContactItem{0x3A1D7C42, 0x5E21, 0x4B0A,
                               {0x9C, 0x55, 0x10, 0x2F, 0x6E, 0x81, 0xA4, 0x01}};

// The folder constant of the contacts folder; the device keeps no other folder.
constexpr int32_t kContactsFolderId = 10;

// Failures of the server beside the usual ones: a call that needs a logged-on application.
constexpr HRESULT CONTACTS_E_NOT_LOGGED_ON = MakeHresult(0x80040A01u);

class IContactItem : public IUnknown {
 public:
  // The categories as the phone shows them: the names separated by ", ".
  virtual HRESULT GetCategories(ComString* text) = 0;
  virtual HRESULT GetDisplayName(ComString* text) = 0;
  virtual HRESULT GetMobileTelephoneNumber(ComString* text) = 0;
  virtual HRESULT GetHomeTelephoneNumber(ComString* text) = 0;
  virtual HRESULT GetBusinessTelephoneNumber(ComString* text) = 0;

 protected:
  ~IContactItem() = default;
};

class IContactItems : public IUnknown {
 public:
  virtual HRESULT GetCount(int32_t* count) = 0;
  // Items are counted from 1; E_INVALIDARG outside 1..count.
  virtual HRESULT Item(int32_t index, IContactItem** item) = 0;

 protected:
  ~IContactItems() = default;
};

class IContactsFolder : public IUnknown {
 public:
  virtual HRESULT GetItems(IContactItems** items) = 0;

 protected:
  ~IContactsFolder() = default;
};

class IContactsApplication : public IUnknown {
 public:
  // Reads the phone's contacts; `window` 0 logs on without a window. E_FAIL when the contacts
  // cannot be read. The items stay as they were at log-on until the next log-on.
  virtual HRESULT Logon(intptr_t window) = 0;
  virtual HRESULT Logoff() = 0;
  // E_INVALIDARG for any folder but kContactsFolderId, CONTACTS_E_NOT_LOGGED_ON before Logon.
  virtual HRESULT GetDefaultFolder(int32_t folderId, IContactsFolder** folder) = 0;

 protected:
  ~IContactsApplication() = default;
};

// The server's exported count of its objects alive now, for the tests.
using ContactsServerLiveObjectsFunction = int32_t (*)();
constexpr const char* kContactsServerLiveObjects = "ContactsServerLiveObjects";

}  // namespace brevalo
