// One complete session with the phone's message store, as each import operation opens it: the
// messaging interface started, a logon without profile, the store named "SMS" exactly (found
// row by row through the session's store table), and one of its folders opened for writing by
// the store's entry-id property of that folder type. The destructor logs off, stops the
// interface and releases folder, store and session, whatever part of the opening succeeded.
#pragma once

#include "device/mapi_interfaces.h"

namespace brevalo {

class PhoneStoreSession {
 public:
  PhoneStoreSession() = default;
  ~PhoneStoreSession();
  PhoneStoreSession(const PhoneStoreSession&) = delete;
  PhoneStoreSession& operator=(const PhoneStoreSession&) = delete;

  // Opens the session and the folder of `folderType` (0 inbox, 1 the third folder, 2 the sent
  // items). False on any failure: no interface, no logon, no store named "SMS", no such folder.
  // Call once.
  bool Open(int folderType);

  // Valid after a successful Open, until the session ends.
  IMsgStore& Store() const { return *store_; }
  IMAPIFolder& Folder() const { return *folder_; }

 private:
  bool FindSmsStore();
  bool OpenFolder(int folderType);

  bool initialized_ = false;
  IMAPISession* session_ = nullptr;
  IMsgStore* store_ = nullptr;
  IMAPIFolder* folder_ = nullptr;
};

}  // namespace brevalo
