// The interfaces of the phone's message store, with the calls its callers make: the messaging
// service's rule clients (open a message by entry identifier, read its properties, delete it
// from its folder) and the import of the phone's messages (find the "SMS" store through the
// session's store table, open a folder by a store property, walk its contents table, read
// subjects and body streams, delete).
//
// As with every COM interface of the device, nothing but the declared calls is virtual and the
// destructors are protected and not virtual: an object ends through Release, and a library
// built from this header shares the vtable with the code that created the object.
#pragma once

#include "device/mapi_types.h"
#include "device/unknown.h"

namespace brevalo {

class IMAPIProgress;  // progress reports are never made; callers pass nullptr

// Properties of a store, folder or message.
class IMAPIProp : public IUnknown {
 public:
  // The values of `tags` in their order, or of every property when `tags` is nullptr, in one
  // buffer for MAPIFreeBuffer. A property the object lacks comes back as a PT_ERROR value
  // holding MAPI_E_NOT_FOUND, and the call then returns MAPI_W_ERRORS_RETURNED. Strings are
  // UTF-16 (MAPI_UNICODE is the only form this store has).
  virtual HRESULT GetProps(const SPropTagArray* tags, ULONG flags, ULONG* count,
                           SPropValue** values) = 0;
  // A string property as a stream (iid IID_IStream) of its UTF-16 units without terminator.
  virtual HRESULT OpenProperty(ULONG tag, const IID* iid, ULONG interfaceOptions, ULONG flags,
                               IUnknown** object) = 0;

 protected:
  IMAPIProp() = default;
  ~IMAPIProp() = default;
};

class IStream : public IUnknown {
 public:
  // Copies up to `size` bytes from the current position and moves past them; *read (if given)
  // says how many, 0 at the end. S_OK.
  virtual HRESULT Read(void* buffer, ULONG size, ULONG* read) = 0;

 protected:
  IStream() = default;
  ~IStream() = default;
};

// A snapshot of rows taken when the table was made, read forward.
class IMAPITable : public IUnknown {
 public:
  // The properties each later row carries, in this order.
  virtual HRESULT SetColumns(const SPropTagArray* columns, ULONG flags) = 0;
  // The next rows, at most `rowCount` (which must be positive); a row set of 0 rows at the end.
  // Free with FreeProws.
  virtual HRESULT QueryRows(LONG rowCount, ULONG flags, SRowSet** rows) = 0;

 protected:
  IMAPITable() = default;
  ~IMAPITable() = default;
};

class IMessage : public IMAPIProp {
 protected:
  IMessage() = default;
  ~IMessage() = default;
};

class IMAPIFolder : public IMAPIProp {
 public:
  // The folder's messages, oldest first; default columns entry id, subject, sender address,
  // delivery time, flags, message class.
  virtual HRESULT GetContentsTable(ULONG flags, IMAPITable** table) = 0;
  // Deletes the listed messages of this folder. S_OK when all went, MAPI_W_PARTIAL_COMPLETION
  // when some did, MAPI_E_NOT_FOUND when none of a non-empty list was in the folder.
  virtual HRESULT DeleteMessages(const ENTRYLIST* messages, ULONG_PTR uiParam,
                                 IMAPIProgress* progress, ULONG flags) = 0;

 protected:
  IMAPIFolder() = default;
  ~IMAPIFolder() = default;
};

class IMsgStore : public IMAPIProp {
 public:
  // The store itself, a folder or a message of this store, by entry identifier. *objectType
  // (if given) is MAPI_STORE, MAPI_FOLDER or MAPI_MESSAGE; `iid` nullptr means the object's
  // own interface, which *object then is (cast it by the type).
  virtual HRESULT OpenEntry(ULONG entryIdSize, const ENTRYID* entryId, const IID* iid,
                            ULONG flags, ULONG* objectType, IUnknown** object) = 0;

 protected:
  IMsgStore() = default;
  ~IMsgStore() = default;
};

class IMAPISession : public IUnknown {
 public:
  // Rows of PR_DISPLAY_NAME and PR_ENTRYID, one per store of the phone.
  virtual HRESULT GetMsgStoresTable(ULONG flags, IMAPITable** table) = 0;
  virtual HRESULT OpenMsgStore(ULONG_PTR uiParam, ULONG entryIdSize, const ENTRYID* entryId,
                               const IID* iid, ULONG flags, IMsgStore** store) = 0;
  // Ends the session: its own calls fail afterwards with MAPI_E_END_OF_SESSION; stores, folders
  // and messages opened through it stay usable until released.
  virtual HRESULT Logoff(ULONG_PTR uiParam, ULONG flags, ULONG reserved) = 0;

 protected:
  IMAPISession() = default;
  ~IMAPISession() = default;
};

}  // namespace brevalo
