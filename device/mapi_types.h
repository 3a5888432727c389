// The data shapes and numbers of the phone's messaging interface: property tags with the
// platform's values, property values, row sets, entry identifiers and lists of them, result
// codes, flags and interface identifiers. Callers fill and read these structures exactly as
// they would on the phone; everything the store hands out is freed through MAPIFreeBuffer or
// FreeProws (device/mapi_memory.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/guid.h"
#include "device/hresult.h"
#include "device/system_time.h"

namespace brevalo {

using ULONG = uint32_t;
using LONG = int32_t;
using BYTE = uint8_t;
using ULONG_PTR = uintptr_t;
using SCODE = int32_t;

// Arrays declared with one element are followed by as many as their count says.
inline constexpr size_t MAPI_DIM = 1;

// A property tag is the property identifier in the high 16 bits and its type in the low 16.
constexpr ULONG PROP_TAG(ULONG type, ULONG id) { return (id << 16) | (type & 0xFFFFu); }
constexpr ULONG PROP_TYPE(ULONG tag) { return tag & 0xFFFFu; }
constexpr ULONG PROP_ID(ULONG tag) { return tag >> 16; }
constexpr ULONG CHANGE_PROP_TYPE(ULONG tag, ULONG type) { return (tag & 0xFFFF0000u) | type; }

inline constexpr ULONG PT_UNSPECIFIED = 0x0000;
inline constexpr ULONG PT_LONG = 0x0003;
inline constexpr ULONG PT_ERROR = 0x000A;
inline constexpr ULONG PT_I8 = 0x0014;
inline constexpr ULONG PT_STRING8 = 0x001E;
inline constexpr ULONG PT_UNICODE = 0x001F;
inline constexpr ULONG PT_SYSTIME = 0x0040;
inline constexpr ULONG PT_BINARY = 0x0102;

inline constexpr ULONG PR_MESSAGE_CLASS = PROP_TAG(PT_UNICODE, 0x001A);
inline constexpr ULONG PR_SUBJECT = PROP_TAG(PT_UNICODE, 0x0037);
inline constexpr ULONG PR_SENDER_EMAIL_ADDRESS = PROP_TAG(PT_UNICODE, 0x0C1F);
inline constexpr ULONG PR_MESSAGE_DELIVERY_TIME = PROP_TAG(PT_SYSTIME, 0x0E06);
inline constexpr ULONG PR_MESSAGE_FLAGS = PROP_TAG(PT_LONG, 0x0E07);
inline constexpr ULONG PR_ENTRYID = PROP_TAG(PT_BINARY, 0x0FFF);
inline constexpr ULONG PR_OBJECT_TYPE = PROP_TAG(PT_LONG, 0x0FFE);
inline constexpr ULONG PR_BODY = PROP_TAG(PT_UNICODE, 0x1000);
inline constexpr ULONG PR_DISPLAY_NAME = PROP_TAG(PT_UNICODE, 0x3001);
inline constexpr ULONG PR_CONTENT_COUNT = PROP_TAG(PT_LONG, 0x3602);
inline constexpr ULONG PR_IPM_SENTMAIL_ENTRYID = PROP_TAG(PT_BINARY, 0x35E4);
// Store properties of the phone's SMS store, known only by their numbers.
inline constexpr ULONG PR_SMS_INBOX_ENTRYID = PROP_TAG(PT_BINARY, 0x8106);
inline constexpr ULONG PR_SMS_THIRD_FOLDER_ENTRYID = PROP_TAG(PT_BINARY, 0x8104);

// Message flags.
inline constexpr ULONG MSGFLAG_READ = 0x1;

// Object types reported by OpenEntry.
inline constexpr ULONG MAPI_STORE = 1;
inline constexpr ULONG MAPI_FOLDER = 3;
inline constexpr ULONG MAPI_MESSAGE = 5;

// Flags of the calls.
inline constexpr ULONG MAPI_MODIFY = 0x1;
inline constexpr ULONG MAPI_CREATE = 0x2;
inline constexpr ULONG MAPI_DEFERRED_ERRORS = 0x8;
inline constexpr ULONG MAPI_BEST_ACCESS = 0x10;
inline constexpr ULONG MAPI_UNICODE = 0x80000000u;
inline constexpr ULONG MAPI_NO_MAIL = 0x8000;
inline constexpr ULONG MAPI_EXTENDED = 0x20;
inline constexpr ULONG MDB_NO_DIALOG = 0x1;
inline constexpr ULONG MDB_WRITE = 0x4;

// Result codes of the messaging interface.
inline constexpr HRESULT MAPI_E_CALL_FAILED = E_FAIL;
inline constexpr HRESULT MAPI_E_NOT_ENOUGH_MEMORY = E_OUTOFMEMORY;
inline constexpr HRESULT MAPI_E_INVALID_PARAMETER = E_INVALIDARG;
inline constexpr HRESULT MAPI_E_INTERFACE_NOT_SUPPORTED = E_NOINTERFACE;
inline constexpr HRESULT MAPI_E_NO_ACCESS = E_ACCESSDENIED;
inline constexpr HRESULT MAPI_E_NO_SUPPORT = MakeHresult(0x80040102u);
inline constexpr HRESULT MAPI_E_INVALID_ENTRYID = MakeHresult(0x80040107u);
inline constexpr HRESULT MAPI_E_NOT_FOUND = MakeHresult(0x8004010Fu);
inline constexpr HRESULT MAPI_E_LOGON_FAILED = MakeHresult(0x80040111u);
inline constexpr HRESULT MAPI_E_END_OF_SESSION = MakeHresult(0x80040200u);
inline constexpr HRESULT MAPI_E_NOT_INITIALIZED = MakeHresult(0x80040605u);
// Warnings: the call did its work, but not all of it.
inline constexpr HRESULT MAPI_W_ERRORS_RETURNED = MakeHresult(0x00040380u);
inline constexpr HRESULT MAPI_W_PARTIAL_COMPLETION = MakeHresult(0x00040680u);

// Interfaces the store's objects answer to.
constexpr IID IID_IMAPISession{0x00020300, 0x0000, 0x0000,
                               {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID IID_IMAPITable{0x00020301, 0x0000, 0x0000,
                             {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID IID_IMAPIProp{0x00020303, 0x0000, 0x0000,
                            {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID IID_IMsgStore{0x00020306, 0x0000, 0x0000,
                            {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID IID_IMessage{0x00020307, 0x0000, 0x0000,
                           {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID IID_IMAPIFolder{0x0002030C, 0x0000, 0x0000,
                              {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID IID_IStream{0x0000000C, 0x0000, 0x0000,
                          {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct SBinary {
  ULONG cb;
  BYTE* lpb;
};

// A list of entry identifiers, as DeleteMessages takes it.
struct SBinaryArray {
  ULONG cValues;
  SBinary* lpbin;
};
using ENTRYLIST = SBinaryArray;

struct ENTRYID {
  BYTE abFlags[4];
  BYTE ab[MAPI_DIM];
};

struct SPropTagArray {
  ULONG cValues;
  ULONG aulPropTag[MAPI_DIM];
};

// A tag array of a fixed size on the caller's side, passed where an SPropTagArray is taken.
template <size_t N>
struct SizedSPropTagArray {
  ULONG cValues;
  ULONG aulPropTag[N];

  const SPropTagArray* get() const { return reinterpret_cast<const SPropTagArray*>(this); }
};
static_assert(offsetof(SizedSPropTagArray<3>, aulPropTag) == offsetof(SPropTagArray, aulPropTag));

union PropValueUnion {
  int16_t i;
  LONG l;
  ULONG ul;
  uint16_t b;
  FILETIME ft;
  char* lpszA;
  SBinary bin;
  char16_t* lpszW;
  GUID* lpguid;
  int64_t li;
  SCODE err;
  LONG x;
};

struct SPropValue {
  ULONG ulPropTag;
  ULONG dwAlignPad;
  PropValueUnion Value;
};

struct SRow {
  ULONG ulAdrEntryPad;
  ULONG cValues;
  SPropValue* lpProps;
};

struct SRowSet {
  ULONG cRows;
  SRow aRow[MAPI_DIM];
};

using LPSPropValue = SPropValue*;
using LPSRowSet = SRowSet*;
using LPENTRYID = ENTRYID*;

}  // namespace brevalo
