#include "settings/phone_sms_store.h"

#include "device/com_ptr.h"
#include "device/mapi_holders.h"
#include "settings/phone_store_session.h"

namespace brevalo {
namespace {

// Units read from a body stream at a time; the stream is read to its end.
constexpr ULONG kStreamChunkBytes = 320;

std::u16string TextOf(const SPropValue* value) {
  return value != nullptr && value->Value.lpszW != nullptr ? std::u16string(value->Value.lpszW) : std::u16string();
}

// The whole body of a message, read from its stream: the import never keeps a part of a text
// whose phone copy it may delete. A stray odd byte at the end is no character and is dropped.
std::u16string ReadBody(IMessage& message) {
  ComPtr<IUnknown> opened;
  if (message.OpenProperty(PR_BODY, &IID_IStream, 0, 0, reinterpret_cast<IUnknown**>(opened.PutVoid())) != S_OK) {
    return {};
  }
  auto* stream = static_cast<IStream*>(opened.Get());
  std::string bytes;
  char chunk[kStreamChunkBytes];
  for (;;) {
    ULONG read = 0;
    if (stream->Read(chunk, kStreamChunkBytes, &read) != S_OK || read == 0) break;
    bytes.append(chunk, read);
  }
  std::u16string text(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
  }
  return text;
}

// Sender, delivery time and, for any folder but the sent items, the subject as the text.
void ReadProperties(IMessage& message, int folderType, ImportEntry& entry) {
  SizedSPropTagArray<3> tags{3, {PR_SENDER_EMAIL_ADDRESS, PR_MESSAGE_DELIVERY_TIME, PR_SUBJECT}};
  MapiProps props;
  if (FAILED(message.GetProps(tags.get(), MAPI_UNICODE, props.CountSlot(), props.ValuesSlot()))) return;
  entry.sender = TextOf(props.Find(0, PR_SENDER_EMAIL_ADDRESS));
  if (const SPropValue* time = props.Find(1, PR_MESSAGE_DELIVERY_TIME)) {
    entry.hasDate = UtcFileTimeToOleDate(time->Value.ft, &entry.date);
  }
  if (folderType != kPhoneSentFolder) entry.text = TextOf(props.Find(2, PR_SUBJECT));
}

// The row's message as an entry; false when it cannot be opened (gone meanwhile).
bool ReadEntry(IMsgStore& store, const SBinary& id, int folderType, ImportEntry& entry) {
  ComPtr<IUnknown> opened;
  ULONG type = 0;
  if (store.OpenEntry(id.cb, reinterpret_cast<const ENTRYID*>(id.lpb), nullptr, MAPI_BEST_ACCESS, &type,
                      reinterpret_cast<IUnknown**>(opened.PutVoid())) != S_OK ||
      type != MAPI_MESSAGE) {
    return false;
  }
  auto& message = *static_cast<IMessage*>(opened.Get());
  entry.entryId.assign(id.lpb, id.lpb + id.cb);
  entry.folder = folderType;
  ReadProperties(message, folderType, entry);
  if (folderType == kPhoneSentFolder) entry.text = ReadBody(message);
  return true;
}

}  // namespace

int ListPhoneFolder(int folderType, const ImportClock& clock, std::vector<ImportEntry>* out) {
  PhoneStoreSession session;
  if (!session.Open(folderType)) return -1;
  ComPtr<IMAPITable> table;
  if (session.Folder().GetContentsTable(MAPI_UNICODE, reinterpret_cast<IMAPITable**>(table.PutVoid())) != S_OK) {
    return -1;
  }
  SizedSPropTagArray<3> columns{3, {PR_ENTRYID, PR_MESSAGE_FLAGS, PR_MESSAGE_DELIVERY_TIME}};
  if (table->SetColumns(columns.get(), 0) != S_OK) return -1;
  int added = 0;
  for (;;) {
    MapiRows rows;
    if (table->QueryRows(1, 0, rows.Slot()) != S_OK) return -1;
    if (rows.Count() == 0) break;
    const SRow& row = rows.Row(0);
    if (row.cValues == 0 || row.lpProps[0].ulPropTag != PR_ENTRYID) continue;
    ImportEntry entry;
    if (!ReadEntry(session.Store(), row.lpProps[0].Value.bin, folderType, entry)) continue;
    SetImportLines(entry, clock);
    out->push_back(std::move(entry));
    ++added;
  }
  return added;
}

bool DeletePhoneMessage(std::span<const uint8_t> entryId, int folderType) {
  std::vector<bool> deleted;
  return DeletePhoneMessages(folderType, {entryId}, &deleted) == 1;
}

size_t DeletePhoneMessages(int folderType, const std::vector<std::span<const uint8_t>>& ids,
                           std::vector<bool>* deleted) {
  deleted->assign(ids.size(), false);
  PhoneStoreSession session;
  if (!session.Open(folderType)) return 0;
  size_t count = 0;
  for (size_t i = 0; i < ids.size(); ++i) {
    // The store takes the bytes as they were listed; it only reads them.
    SBinary entry{static_cast<ULONG>(ids[i].size()), const_cast<BYTE*>(ids[i].data())};
    ENTRYLIST list{1, &entry};
    if (session.Folder().DeleteMessages(&list, 0, nullptr, 0) == S_OK) {
      (*deleted)[i] = true;
      ++count;
    }
  }
  return count;
}

}  // namespace brevalo
