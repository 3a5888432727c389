// Any bytes as the phone's message database (a file another process or a crash may have
// damaged): opening and every read of the database and of the message store over it fail
// cleanly, and whatever a read hands out is freed cleanly.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device/mapi_memory.h"
#include "device/mapi_session.h"
#include "device/phone_database.h"

namespace {

using namespace brevalo;

const Device& ScratchDevice() {
  static const Device device(std::filesystem::temp_directory_path() /
                             ("phone_database_fuzz-" + std::to_string(getpid())));
  return device;
}

void ReadFolder(IMsgStore* store, ULONG tag) {
  SizedSPropTagArray<1> tags{1, {tag}};
  ULONG count = 0;
  SPropValue* id = nullptr;
  if (store->GetProps(tags.get(), MAPI_UNICODE, &count, &id) != S_OK) {
    MAPIFreeBuffer(id);
    return;
  }
  IUnknown* opened = nullptr;
  const SBinary& bin = id[0].Value.bin;
  if (store->OpenEntry(bin.cb, reinterpret_cast<ENTRYID*>(bin.lpb), nullptr, 0, nullptr,
                       &opened) == S_OK) {
    auto* folder = static_cast<IMAPIFolder*>(opened);
    IMAPITable* table = nullptr;
    if (folder->GetContentsTable(0, &table) == S_OK) {
      for (;;) {
        SRowSet* rows = nullptr;
        if (table->QueryRows(10, 0, &rows) != S_OK) break;
        bool end = rows->cRows == 0;
        for (ULONG i = 0; i < rows->cRows; ++i) {
          const SPropValue& entry = rows->aRow[i].lpProps[0];
          IUnknown* message = nullptr;
          if (store->OpenEntry(entry.Value.bin.cb, reinterpret_cast<ENTRYID*>(entry.Value.bin.lpb),
                               nullptr, 0, nullptr, &message) != S_OK) {
            continue;
          }
          IUnknown* stream = nullptr;
          if (static_cast<IMessage*>(message)->OpenProperty(PR_BODY, &IID_IStream, 0, 0,
                                                            &stream) == S_OK) {
            char buffer[320];
            ULONG read = 0;
            static_cast<IStream*>(stream)->Read(buffer, sizeof(buffer), &read);
            if (read > sizeof(buffer)) std::abort();
            stream->Release();
          }
          message->Release();
        }
        FreeProws(rows);
        if (end) break;
      }
      table->Release();
    }
    opened->Release();
  }
  MAPIFreeBuffer(id);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Device& device = ScratchDevice();
  std::error_code error;
  std::filesystem::remove_all(device.Dir(), error);
  std::filesystem::create_directories(device.PhoneDir(), error);
  {
    std::ofstream file(PhoneDatabase::FileOf(device), std::ios::binary);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  if (auto db = PhoneDatabase::OpenDevice(device)) {
    std::vector<PhoneStore> stores;
    db->ListStores(&stores);
    std::vector<PhoneMessage> messages;
    db->ListMessages(std::nullopt, &messages);
    for (const PhoneMessage& message : messages) db->GetMessage(message.id);
    std::vector<OutboxEntry> outbox;
    db->ListOutbox(&outbox);
    std::vector<CallEntry> calls;
    db->ListCalls(&calls);
  }
  IMsgStore* store = nullptr;
  if (MapiOpenStore(device, kSmsStoreName, &store) == S_OK) {
    for (ULONG tag : {PR_SMS_INBOX_ENTRYID, PR_SMS_THIRD_FOLDER_ENTRYID, PR_IPM_SENTMAIL_ENTRYID}) {
      ReadFolder(store, tag);
    }
    store->Release();
  }
  std::filesystem::remove_all(device.Dir(), error);
  return 0;
}
