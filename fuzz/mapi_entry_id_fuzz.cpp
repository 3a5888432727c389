// Any bytes as an entry identifier handed to the message store (the messaging service passes
// them on from outside, callers keep them across sessions): decoding never reads past them,
// what decodes encodes back to the same bytes, and opening or deleting by them fails cleanly.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "device/mapi_entry_id.h"
#include "device/mapi_session.h"
#include "device/phone_database.h"

namespace {

using namespace brevalo;

// One SMS store with a message in each folder, made once per process.
const Device& ScratchDevice() {
  static const Device device(std::filesystem::temp_directory_path() /
                             ("mapi_entry_id_fuzz-" + std::to_string(getpid())));
  return device;
}

void RemoveScratchDevice() {
  std::error_code error;
  std::filesystem::remove_all(ScratchDevice().Dir(), error);
}

IMsgStore* Store() {
  static IMsgStore* store = [] {
    const Device& device = ScratchDevice();
    std::atexit(RemoveScratchDevice);
    std::error_code error;
    std::filesystem::remove_all(device.Dir(), error);
    auto db = PhoneDatabase::OpenDevice(device);
    if (db == nullptr) std::abort();
    db->EnsureStore(kSmsStoreName);
    for (PhoneFolder folder : {PhoneFolder::Inbox, PhoneFolder::Other, PhoneFolder::Sent}) {
      PhoneMessage message;
      message.folder = folder;
      message.text = u"text";
      db->AddMessage(message);
    }
    IMsgStore* opened = nullptr;
    if (MapiOpenStore(device, kSmsStoreName, &opened) != S_OK) std::abort();
    return opened;
  }();
  return store;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly `size` bytes, so that ASan sees any read past the caller's identifier.
  auto* bytes = new uint8_t[size == 0 ? 1 : size];
  if (size > 0) std::memcpy(bytes, data, size);
  if (auto id = DecodeEntryId(bytes, size)) {
    auto again = EncodeEntryId(*id);
    if (size != again.size() || std::memcmp(again.data(), bytes, size) != 0) std::abort();
  }
  IUnknown* object = nullptr;
  ULONG type = 0;
  if (Store()->OpenEntry(static_cast<ULONG>(size), reinterpret_cast<ENTRYID*>(bytes), nullptr, 0,
                         &type, &object) == S_OK) {
    if (object == nullptr) std::abort();
    if (type == MAPI_FOLDER) {
      // Deleting through the folder with its own identifier as the list: never a message.
      SBinary entry{static_cast<ULONG>(size), bytes};
      ENTRYLIST list{1, &entry};
      if (static_cast<IMAPIFolder*>(object)->DeleteMessages(&list, 0, nullptr, 0) == S_OK) {
        std::abort();
      }
    }
    object->Release();
  } else if (object != nullptr) {
    std::abort();
  }
  delete[] bytes;
  return 0;
}
